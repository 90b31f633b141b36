#pragma once
/// Finding a meet from anywhere: the folder of its location file, and the meets chosen
/// before.

#include <QString>
#include <QStringList>

#include <optional>

namespace tarvel {

/// The location file's name in its folder.
inline constexpr char16_t kLocationFileName[] = u"dr_kyo.ctl";

/// The folder holding the meet's location file, from what the operator chose: that folder
/// itself, the location file, or the meet's folder with the folder "ctl" in it (found
/// whatever the case of the names). Nothing when none of them holds a location file. Paths
/// are this machine's; the result is absolute.
std::optional<QString> locationFolderOf(const QString& chosen);

/// The meets chosen before, kept in the user's settings (QSettings): their location
/// folders, the last one chosen first.
class RememberedMeets {
public:
    /// At most this many are kept.
    static constexpr int kKept = 8;

    /// The folders remembered that still hold a location file.
    static QStringList list();
    /// Puts `locationFolder` first, dropping it from further down and the oldest beyond kKept.
    static void remember(const QString& locationFolder);
};

} // namespace tarvel
