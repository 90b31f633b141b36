#pragma once
/// Asking, as the window closes, what becomes of layout edits not yet saved.

#include <functional>

class QWidget;

namespace tarvel::ui {

enum class UnsavedLayout { Save, Discard, Cancel };

/// Asks over `parent` in a modal message box (object name "unsavedLayout", buttons "save",
/// "discard" and "cancel"): 保存 / 保存しない / キャンセル. Escape and the box's close
/// button answer Cancel. GUI thread.
UnsavedLayout askAboutUnsavedLayout(QWidget* parent);

/// Whether the window may close, its layout `changed` since it was last saved or not:
/// unchanged, at once; changed, as the operator answers askAboutUnsavedLayout(), 保存
/// running `save` first. A tarvel::Failure of `save` is shown over `parent` and keeps the
/// window open, its edits with it.
bool mayCloseWithLayout(QWidget* parent, bool changed, const std::function<void()>& save);

} // namespace tarvel::ui
