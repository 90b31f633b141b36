#pragma once
/// Names of the e-certificates' files and folders that Windows and Linux shares both take,
/// and that never leave the e-certificates folder. Pure functions, any thread.

#include "ecert/ecertificate.h"

#include <QList>
#include <QString>

namespace tarvel {

/// The longest file or folder name written, in bytes of UTF-8.
inline constexpr int kMaxNameBytes = 120;
/// Affiliation folders are a little shorter, so that "<folder>.zip" fits as well.
inline constexpr int kMaxFolderBytes = kMaxNameBytes - 4;

/// `text` as one file or folder name: NFC; `/ \ : * ? " < > |`, control characters, line
/// separators and unpaired surrogates as "_"; leading dots and blanks and trailing dots and
/// blanks removed; at most `maxBytes` bytes of UTF-8, cut between grapheme clusters; a
/// Windows device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, CONIN$, CONOUT$, in any case,
/// alone or before an extension) given a leading "_"; "_" when nothing is left. Never "."
/// or "..", never a path: whatever `text` holds, the name stays in its folder.
QString safeName(const QString& text, int maxBytes = kMaxNameBytes);

/// The affiliation folder of a certificate: its printed affiliation as a safe name of at
/// most kMaxFolderBytes, "所属なし" when it has none.
QString affiliationFolder(const ECertificate& certificate);

/// The file name a certificate would have alone in its event:
/// "R012_男子100m自由形決勝_1位_氏名.pdf" — the race label of the event, the event's title
/// without the label and blanks, the printed rank and name, each part left out when empty.
QString plainFileName(const ECertificate& certificate);

/// The prefix every file name of the event of race `raceNo` begins with ("R012_").
QString eventFilePrefix(int raceNo);

/// The relative paths "<folder>/<file>" of one event's certificates, in the order given.
/// No two are the same, even compared without case as Windows does: certificates that
/// would share a name (a tie or two legs of one name, names that only differ in what
/// safeName() replaced) get "_R035_4レーン" (the race swum and the lane from 1; with
/// "_2泳者" for a relay leg) before ".pdf", and a name still taken then gets "_2", "_3", ...
/// in the order of race, lane and leg. Deterministic: the same certificates give the same
/// names in any order.
QStringList planFileNames(const QList<ECertificate>& event);

} // namespace tarvel
