#pragma once
/// Where the meet's files are: the data folder and the swimmer master file.

#include <QString>

namespace tarvel {

/// The location values, kept as text exactly as the meet's files give them (Windows paths
/// such as "C:\meet\data\"); files are named by plain concatenation and mapped onto this
/// machine only when opened (hostPath).
struct DataLocations {
    /// Folder of the meet's data files; ends in "\" when taken from the location file.
    QString dataDir;
    /// Folder prefix of the swimmer master file.
    QString masterDir;
    /// File name of the swimmer master file, with its extension.
    QString masterFileName;
    /// The files that named the data folder (the location file) and the master file (the
    /// location file, or kijun.dat when it moved it): a message about a missing file says
    /// where to look.
    QString dataDirNamedBy;
    QString masterNamedBy;

    /// dataDir + name, with no separator added.
    QString dataFile(const QString& name) const { return dataDir + name; }
    /// masterDir + masterFileName, with no separator added.
    QString masterFile() const { return masterDir + masterFileName; }
};

/// The location file, relative to the working directory.
inline const char16_t kLocationFile[] = u"..\\ctl\\dr_kyo.ctl";

/// Reads the location file: items 2, 4 and 5 give dataDir, masterDir (each with a "\"
/// appended unless it ends in one) and masterFileName; items 1 and 3 are ignored, anything
/// after item 5 too. Throws tarvel::Failure when the file is missing or holds fewer than
/// five items.
DataLocations loadDataLocations(const QString& locationFile = QString::fromUtf16(kLocationFile));

/// Throws tarvel::Failure when the data folder does not exist on this machine, before
/// anything is written there: the message names the folder and the file that named it, and
/// for a Windows drive path without a Wine drive link, the link looked for.
void requireDataFolder(const DataLocations& where);

} // namespace tarvel
