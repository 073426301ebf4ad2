#include "cli/batch_gui.h"

#include <stdlib.h>

#include <filesystem>

namespace cbeam::cli {

BatchGui::BatchGui() {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0') {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "cbeam-runtime-XXXXXX").string();
        // mkdtemp gives the 0700 folder of our own that Qt asks for.
        if (::mkdtemp(pattern.data()) != nullptr) {
            m_runtimeDir = pattern;
            setenv("XDG_RUNTIME_DIR", m_runtimeDir.c_str(), 1);
        }
    }
    static int argc = 1;
    static char name[] = "cbeam-cli";
    static char* argv[] = {name, nullptr};
    m_app = std::make_unique<QGuiApplication>(argc, argv);
}

BatchGui::~BatchGui() {
    m_app.reset();
    if (m_runtimeDir.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(m_runtimeDir, ignored);
    unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace cbeam::cli
