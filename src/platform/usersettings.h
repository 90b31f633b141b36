#pragma once
/// Where the user's own settings are kept: one settings file the window and tarvel-batch
/// share (printer calibration, the ceremony list's destination).

namespace tarvel {

/// QSettings(NativeFormat, UserScope, organization, application) with these names, whatever
/// each program calls itself.
inline constexpr char16_t kSettingsOrganization[] = u"Tarvel";
inline constexpr char16_t kSettingsApplication[] = u"tarvel";

} // namespace tarvel
