#include "ui/about/sysinfo.h"

#include <QFileInfo>
#include <QStandardPaths>

#include "ui/common/services.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace cbeam {

QString RegDwordText(std::span<const std::uint8_t> bytes) {
    // Each byte as two hex digits, high byte first: writing a byte below 0x10
    // as a single digit would shift every byte after it (256 would read 16).
    std::uint64_t value = 0;
    const std::size_t count = bytes.size() < 8 ? bytes.size() : 8;
    for (std::size_t i = count; i-- > 0;) value = (value << 8) | bytes[i];
    return QString::number(value);
}

QString FindSysInfoViewer(const QStringList& dirs) {
    static const QStringList kViewers = {
        QStringLiteral("hardinfo2"),
        QStringLiteral("hardinfo"),
        QStringLiteral("kinfocenter"),
        QStringLiteral("gnome-system-monitor"),
        QStringLiteral("mate-system-monitor"),
        QStringLiteral("xfce4-taskmanager"),
        QStringLiteral("lxtask"),
    };
    for (const QString& viewer : kViewers) {
        const QString path = QStandardPaths::findExecutable(viewer, dirs);
        if (!path.isEmpty()) return path;
    }
    return {};
}

#ifdef _WIN32

bool GetKeyValue(void* KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(static_cast<HKEY>(KeyRoot), reinterpret_cast<LPCWSTR>(KeyName.utf16()), 0,
                      0x2003F, &key) != ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }
    std::uint8_t buffer[1024] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    const LONG rc = RegQueryValueExW(key, reinterpret_cast<LPCWSTR>(SubKeyRef.utf16()), nullptr,
                                     &type, buffer, &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }
    if (type == REG_SZ) {
        // A wide string: cut the terminating zero character.
        int chars = static_cast<int>(size / 2);
        const auto* text = reinterpret_cast<const char16_t*>(buffer);
        if (chars > 0 && text[chars - 1] == 0) --chars;
        KeyVal = QString::fromUtf16(text, chars);
    } else if (type == REG_DWORD) {
        if (size > 0 && buffer[size - 1] == 0) --size;
        KeyVal = RegDwordText(std::span<const std::uint8_t>(buffer, size));
    }
    return true;
}

namespace {

QString SysInfoPath() {
    QString path;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                    QStringLiteral("PATH"), path)) {
        return path;
    }
    if (GetKeyValue(HKEY_LOCAL_MACHINE,
                    QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                    QStringLiteral("MSINFO"), path)) {
        const QString exe = path + QStringLiteral("\\MSINFO32.EXE");
        if (QFileInfo::exists(exe)) return exe;
    }
    return {};
}

}  // namespace

#else

namespace {

QString SysInfoPath() {
    return FindSysInfoViewer();
}

}  // namespace

#endif

void StartSysInfo(UiServices& services) {
    const QString path = SysInfoPath();
    if (path.isEmpty() || !services.StartProcess(path)) {
        services.Message(kAppTitle, QStringLiteral("此时系统信息不可用"), MsgIcon::None);
    }
}

}  // namespace cbeam
