#include "cli/draw_command.h"

#include <QByteArray>
#include <QImage>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string_view>

#include "canvas/image_canvas.h"
#include "canvas/recording_canvas.h"
#include "canvas/svg_canvas.h"
#include "cli/batch_gui.h"
#include "cli/commands.h"
#include "drawing/drawings.h"
#include "drawing/layout.h"
#include "files/bmf.h"
#include "files/safe_write.h"
#include "text/status.h"

namespace {

using namespace cbeam;

constexpr const char* kSeeHelp = "（用法见 cbeam-cli --help）";

// An image larger than this many pixels is refused rather than allocated.
constexpr double kMaxPixels = 64.0 * 1024 * 1024;

enum class Drawing { Schematic, Diagram };

struct Options {
    std::string file;
    std::string schematicOut;
    std::string diagramOut;
    std::optional<std::pair<int, int>> size;
    double scale = 1.0;
    std::optional<Drawing> list;
    std::optional<std::pair<double, double>> canvas;
    bool force = false;
};

bool EndsWith(const std::string& s, std::string_view tail) {
    return cli::EndsWithIgnoringCase(s, tail);
}

// "WxH" with both parts full numbers above 0.
std::optional<std::pair<double, double>> ParsePair(const std::string& text) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return std::nullopt;
    const std::string a = text.substr(0, x), b = text.substr(x + 1);
    if (a.empty() || b.empty()) return std::nullopt;
    char* end = nullptr;
    const double w = std::strtod(a.c_str(), &end);
    if (*end != '\0') return std::nullopt;
    const double h = std::strtod(b.c_str(), &end);
    if (*end != '\0') return std::nullopt;
    if (!std::isfinite(w) || !std::isfinite(h) || !(w > 0) || !(h > 0)) return std::nullopt;
    return std::make_pair(w, h);
}

bool Usage(const std::string& message) {
    std::cerr << message << kSeeHelp << '\n';
    return false;
}

bool Parse(const std::vector<std::string>& args, Options& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool takesValue = a == "--schematic" || a == "--diagram" || a == "--size" ||
                                a == "--scale" || a == "--list" || a == "--canvas";
        if (takesValue && i + 1 >= args.size()) return Usage(a + " 缺少参数");
        if (a == "--schematic" || a == "--diagram") {
            const std::string& out = args[++i];
            if (!EndsWith(out, ".png") && !EndsWith(out, ".svg")) {
                return Usage("图片文件名须以 .png 或 .svg 结尾：" + out);
            }
            (a == "--schematic" ? o.schematicOut : o.diagramOut) = out;
        } else if (a == "--size") {
            const auto p = ParsePair(args[++i]);
            if (!p || p->first != std::floor(p->first) || p->second != std::floor(p->second) ||
                p->first > 16384 || p->second > 16384) {
                return Usage("--size 须为 宽x高（像素，1 到 16384 的整数）");
            }
            o.size = std::make_pair(static_cast<int>(p->first), static_cast<int>(p->second));
        } else if (a == "--scale") {
            char* end = nullptr;
            o.scale = std::strtod(args[++i].c_str(), &end);
            if (*end != '\0' || !std::isfinite(o.scale) || !(o.scale > 0) || o.scale > 8) {
                return Usage("--scale 须为大于 0、不大于 8 的数");
            }
        } else if (a == "--list") {
            const std::string& which = args[++i];
            if (which == "schematic") {
                o.list = Drawing::Schematic;
            } else if (which == "diagram") {
                o.list = Drawing::Diagram;
            } else {
                return Usage("--list 须为 schematic 或 diagram");
            }
        } else if (a == "--canvas") {
            o.canvas = ParsePair(args[++i]);
            if (!o.canvas) return Usage("--canvas 须为 宽x高（画布单位）");
        } else if (a == "--force") {
            o.force = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return Usage("未知的选项：" + a);
        } else if (!o.file.empty()) {
            return Usage("draw 只能有一个数据文件");
        } else {
            o.file = a;
        }
    }
    if (o.file.empty()) return Usage("draw 需要一个数据文件");
    if (o.schematicOut.empty() && o.diagramOut.empty() && !o.list) {
        return Usage("draw 需要 --schematic、--diagram 或 --list");
    }
    if (o.canvas && !o.list) return Usage("--canvas 只用于 --list");
    return true;
}

double VerticalTwips(Drawing d) {
    return d == Drawing::Diagram ? kDiagramTwipsPerUnit : 1.0;
}

QSize Pixels(const Options& o, Drawing d) {
    if (o.size) return QSize(o.size->first, o.size->second);
    // The window's own drawing areas.
    const PixelSize px = d == Drawing::Diagram ? kDiagramPixels : kSchematicPixels;
    return QSize(px.width, px.height);
}

void Draw(Drawing d, DesignState& state, Canvas& canvas) {
    if (d == Drawing::Schematic) {
        ReDrawAll(state, canvas);
    } else {
        DrawM(state, canvas);
    }
}

// Renders one drawing to PNG or SVG bytes in memory, which reach the file
// only through the checked atomic write; false after telling why not.
bool Render(Drawing d, DesignState& state, const Options& o, const std::string& out) {
    const QSize size = Pixels(o, d);
    QByteArray bytes;
    if (EndsWith(out, ".svg")) {
        bytes = SvgBytes(size, VerticalTwips(d), 0, [&](SvgCanvas& canvas) {
            canvas.Clear();
            Draw(d, state, canvas);
        });
    } else {
        if (double(size.width()) * size.height() * o.scale * o.scale > kMaxPixels) {
            std::cerr << MessageText(Status{Code::ImageTooLarge}) << out << '\n';
            return false;
        }
        ImageCanvas canvas(size, VerticalTwips(d), o.scale);
        canvas.Clear();
        Draw(d, state, canvas);
        bytes = PngBytes(canvas.Image());
    }
    if (bytes.isEmpty()) {
        std::cerr << MessageText(Status{Code::ImageNotSaved}) << out << '\n';
        return false;
    }
    Status written = WriteFileSafely(
        out, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!written) {
        written.path = out;
        std::cerr << LeadIn(Command::Picture) << MessageText(written) << '\n';
        return false;
    }
    return true;
}

}  // namespace

int DrawCommand(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            std::cout << cli::HelpText();
            return cli::kExitOk;
        }
    }
    Options o;
    if (!Parse(args, o)) return cli::kExitUsage;

    for (const std::string* out : {&o.schematicOut, &o.diagramOut}) {
        if (out->empty()) continue;
        if (const int rc = cli::CheckOutput(*out, o.file, o.force, Command::Picture, std::cerr);
            rc != cli::kExitOk) {
            return rc;
        }
    }

    DesignState state;
    if (const int rc = cli::LoadAndAnalyse(o.file, state, std::cerr); rc != cli::kExitOk) return rc;

    if (o.list) {
        RecordingCanvas canvas;
        if (o.canvas) {
            canvas.SetScale(o.canvas->first, o.canvas->second);
        } else {
            const QSize px = Pixels(o, *o.list);
            const CanvasSize units = ScaleOf({px.width(), px.height()}, VerticalTwips(*o.list));
            canvas.SetScale(units.width, units.height);
        }
        Draw(*o.list, state, canvas);
        std::cout << ListPrimitives(canvas.Items());
        if (const int rc = cli::Finish(std::cout, std::cerr); rc != cli::kExitOk) return rc;
    }

    if (!o.schematicOut.empty() || !o.diagramOut.empty()) {
        const cli::BatchGui gui;
        if (!o.schematicOut.empty() && !Render(Drawing::Schematic, state, o, o.schematicOut)) {
            return cli::kExitFile;
        }
        if (!o.diagramOut.empty() && !Render(Drawing::Diagram, state, o, o.diagramOut)) {
            return cli::kExitFile;
        }
    }
    return cli::kExitOk;
}
