#include "canvas/recording_canvas.h"

#include <cstdio>

namespace cbeam {

void RecordingCanvas::Line(float x1, float y1, float x2, float y2) {
    Primitive p;
    p.kind = Primitive::Kind::Line;
    p.x1 = x1, p.y1 = y1, p.x2 = x2, p.y2 = y2;
    m_items.push_back(std::move(p));
}

void RecordingCanvas::Line(float x1, float y1, float x2, float y2, Rgb colour) {
    Primitive p;
    p.kind = Primitive::Kind::Line;
    p.x1 = x1, p.y1 = y1, p.x2 = x2, p.y2 = y2;
    p.hasColour = true;
    p.colour = colour;
    m_items.push_back(std::move(p));
}

void RecordingCanvas::Box(float x1, float y1, float x2, float y2, Rgb colour) {
    Primitive p;
    p.kind = Primitive::Kind::Box;
    p.x1 = x1, p.y1 = y1, p.x2 = x2, p.y2 = y2;
    p.hasColour = true;
    p.colour = colour;
    m_items.push_back(std::move(p));
}

void RecordingCanvas::Circle(float x, float y, float r) {
    Primitive p;
    p.kind = Primitive::Kind::Circle;
    p.x1 = x, p.y1 = y, p.r = r;
    m_items.push_back(std::move(p));
}

void RecordingCanvas::Print(float x, float y, std::string_view text) {
    Primitive p;
    p.kind = Primitive::Kind::Text;
    p.x1 = x, p.y1 = y;
    p.text = std::string(text);
    m_items.push_back(std::move(p));
}

namespace {

std::string Num(float v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
    return buf;
}

std::string Colour(Rgb c) {
    return std::to_string(c.r) + ' ' + std::to_string(c.g) + ' ' + std::to_string(c.b);
}

// Quotes a label so that a script can split the line safely.
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out + '"';
}

}  // namespace

std::string ListLine(const Primitive& p) {
    switch (p.kind) {
        case Primitive::Kind::Line: {
            std::string s =
                "line " + Num(p.x1) + ' ' + Num(p.y1) + ' ' + Num(p.x2) + ' ' + Num(p.y2);
            if (p.hasColour) s += ' ' + Colour(p.colour);
            return s;
        }
        case Primitive::Kind::Box:
            return "box " + Num(p.x1) + ' ' + Num(p.y1) + ' ' + Num(p.x2) + ' ' + Num(p.y2) + ' ' +
                   Colour(p.colour);
        case Primitive::Kind::Circle:
            return "circle " + Num(p.x1) + ' ' + Num(p.y1) + ' ' + Num(p.r);
        case Primitive::Kind::Text:
            return "text " + Num(p.x1) + ' ' + Num(p.y1) + ' ' + Quoted(p.text);
    }
    return {};
}

std::string ListPrimitives(const std::vector<Primitive>& items) {
    std::string out;
    for (const Primitive& p : items) {
        out += ListLine(p);
        out += '\n';
    }
    return out;
}

}  // namespace cbeam
