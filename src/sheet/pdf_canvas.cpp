#include "sheet/pdf_canvas.h"

namespace cbeam {

PdfCanvas::~PdfCanvas() {
    Flush();
}

}  // namespace cbeam
