#pragma once

#include "view_types.h"

class QWidget;

namespace hushgate {

// Shows a message a presenter asks for, through MessageBox (so tests can
// answer it), owned by `owner`.
MessageAnswer ShowMessage(QWidget* owner, const Message& message);

}  // namespace hushgate
