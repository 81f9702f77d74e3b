#pragma once

#include "view_types.h"

class QWidget;

namespace hushgate {

// Small pieces the Qt windows share as views of their presenters.

// Shows a message a presenter asks for, through MessageBox (so tests can
// answer it), owned by `owner`.
MessageAnswer ShowMessage(QWidget* owner, const Message& message);

// A dialog's part of applying a language: each step's text becomes the
// title of `dialog` (for the step of `self`) or the text of the dialog's
// button or label named after the step's control, and its character set is
// applied to that control.
void ApplyDialogTexts(QWidget* dialog, Control self, const TextSteps& steps);

}  // namespace hushgate
