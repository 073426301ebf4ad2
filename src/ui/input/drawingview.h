#pragma once

namespace cbeam {

// The stretch of the beam that both picture boxes show: a zoom factor over
// the picture width and the offset of the visible stretch, in logical pixels
// of the zoomed drawing.
class DrawingView {
  public:
    // The picture width in pixels; a new width keeps the zoom and the part
    // of the beam at the left edge.
    void SetWidth(int pixels);
    // The largest zoom: a few hundred pixels for each of `spans` spans.
    void SetSpans(int spans);

    // Multiplies the zoom by `factor`, keeping the point of the beam under
    // `anchor` (pixels from the picture's left edge) where it is.
    void ZoomAt(double factor, double anchor);
    void PanBy(double pixels);  // positive: the drawing moves right
    void ShowAll();
    // The zoom factor of one wheel notch or key press: larger for a longer
    // beam, so that a dozen steps go from the whole beam to the closest view.
    double Step() const;
    // About `spans` spans across the picture, the point under `anchor`
    // staying where it is.
    void ZoomToSpans(int spans, double anchor);
    // Brings the stretch from `from` to `to` (fractions of the beam's length)
    // into view: centred when it is not wholly visible, and zoomed in when
    // it is too narrow to be told from its neighbours. True when the view
    // changed.
    bool Reveal(double from, double to);

    int Width() const { return m_width; }
    double Zoom() const { return m_zoom; }
    // The zoomed drawing's width and the pixel at the picture's left edge.
    double FullWidth() const { return m_width * m_zoom; }
    double Offset() const { return m_offset; }

  private:
    void Clamp();

    int m_width = 1, m_spans = 1;
    double m_zoom = 1, m_maxZoom = 1, m_offset = 0;
};

}  // namespace cbeam
