#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <span>

namespace cbeam {

class UiServices;

// The application title shown by the About box and its messages.
inline const QString kAppTitle = QStringLiteral("连续梁计算程序");

// The text of a REG_DWORD value read from the registry: its bytes, low byte
// first, as an unsigned decimal number (a trailing zero byte may already be cut).
QString RegDwordText(std::span<const std::uint8_t> bytes);

// The first system-information viewer found in `dirs` (the PATH when empty).
QString FindSysInfoViewer(const QStringList& dirs = {});

// Starts the system's information tool without waiting for it, or tells the
// user that there is none ("此时系统信息不可用").
void StartSysInfo(UiServices& services);

#ifdef _WIN32
// Reads one value under a registry root key; true when a value was read.
bool GetKeyValue(void* KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal);
#endif

}  // namespace cbeam
