#pragma once
/// Maps the meet-management system's paths onto this machine's file system.

#include <QString>

#include <optional>

namespace tarvel {

/// The program keeps paths exactly as the meet's files build them ("C:\meet\data\Race.dat",
/// "..\ctl\dr_kyo.ctl"); only when a file is opened is the path mapped. On Windows it is
/// used as it stands. On POSIX "\" is taken as "/", a path that begins with a drive letter
/// is resolved through Wine's drive links ($WINEPREFIX/dosdevices, ~/.wine when unset) when
/// they exist, and every name that is not found exactly is looked up case-insensitively in
/// its folder (the other system may write RACE.DAT). Relative paths are taken from the
/// current working directory.
QString hostPath(const QString& path);

/// For a Windows path with a drive letter ("C:\meet\data\") whose drive has no Wine drive
/// link on this machine: the link that was looked for ("/root/.wine/dosdevices/c:").
/// Nothing for other paths, for drives whose link exists, and on Windows.
std::optional<QString> missingDriveLink(const QString& path);

} // namespace tarvel
