#pragma once
/// Where the award ceremony lists go: never the certificate stock, but a printer of their
/// own or a folder of PDF files, chosen per desk and kept in the user's settings.

#include <QString>

namespace tarvel {

enum class CeremonyDestinationKind {
    Off,       ///< no lists (the default)
    Printer,   ///< a print scheduler destination
    PdfFolder, ///< one PDF file per list in a folder
};

struct CeremonyDestination {
    CeremonyDestinationKind kind = CeremonyDestinationKind::Off;
    /// The destination's name, or the folder (a path of this machine); empty when off.
    QString where;

    bool isOn() const { return kind != CeremonyDestinationKind::Off && !where.isEmpty(); }
    bool operator==(const CeremonyDestination&) const = default;
};

/// The destination kept for this desk's user; Off when none was chosen or the settings
/// cannot be read.
CeremonyDestination loadCeremonyDestination();
/// Keeps `destination` in the user's settings. Throws tarvel::Failure when they cannot be
/// written.
void saveCeremonyDestination(const CeremonyDestination& destination);

/// Whether the window sends the lists (its check box 表彰者一覧), kept beside the
/// destination so that the choice outlives a list switched off. Off by default.
bool loadCeremonyListOn();
/// Throws tarvel::Failure when the settings cannot be written.
void saveCeremonyListOn(bool on);

/// "プリンター: name", "PDF: folder", or "なし" when off: what the operator reads.
QString describeCeremonyDestination(const CeremonyDestination& destination);

} // namespace tarvel
