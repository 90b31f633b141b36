#pragma once
/// The Windows faces the program names, and the installed faces that stand in for them.

#include <QString>
#include <QStringList>

namespace tarvel {

/// The face of the certificate (preview and printer) at start.
inline constexpr char16_t kCertificateFace[] = u"HGP行書体";
/// The face of the window's controls.
inline constexpr char16_t kWindowFace[] = u"ＭＳ Ｐゴシック";

/// Registers the stand-ins for the Windows faces with QFont::insertSubstitutions: IPAPGothic
/// for "ＭＳ Ｐゴシック", the brush face AoyagiKouzanFontT then IPAPMincho for "HGP行書体",
/// each followed by every other Japanese face present, so Japanese always renders. Call once
/// at start, after the QGuiApplication exists; calling again changes nothing.
void registerFontSubstitutions();

/// The faces that draw a character `face` leaves without ink, in order: the substitutions
/// of `face`, then every Japanese face present; `face` itself is not among them.
QStringList fallbackFaces(const QString& face);

/// The face a surface draws with when asked for `face`: itself when installed or
/// substituted; the certificate face when it is empty or unknown.
QString usableFace(const QString& face);

} // namespace tarvel
