#pragma once

#include <QGuiApplication>
#include <memory>
#include <string>

namespace cbeam::cli {

// The QGuiApplication that fonts need, for a batch tool that never shows a
// window: no display is needed unless QT_QPA_PLATFORM names one, and where
// XDG_RUNTIME_DIR is not set (cron, a service) a private runtime folder
// stands in, so that Qt does not warn about it on every run.
class BatchGui {
  public:
    BatchGui();
    BatchGui(const BatchGui&) = delete;
    BatchGui& operator=(const BatchGui&) = delete;
    ~BatchGui();

  private:
    std::string m_runtimeDir;  // made here and removed again; empty when not needed
    std::unique_ptr<QGuiApplication> m_app;
};

}  // namespace cbeam::cli
