#pragma once

#include <QCursor>
#include <QDialog>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QString>
#include <string_view>

#include "focus_style.h"
#include "resource_names.h"
#include "twips.h"

namespace hushgate::controls {

// The layout's base font: its size, weight and underline, and its face
// unless that is the dialog face, which the platform's own stands in for.
inline void setBaseFont(QWidget* widget, const layout::Font& base) {
    QFont font = widget->font();
    if (std::string_view(base.face) != layout::kDialogFace) {
        font.setFamily(QString::fromLatin1(base.face));
    }
    font.setPointSizeF(base.hundredthPoints / 100.0);
    font.setBold(base.bold);
    font.setUnderline(base.underline);
    widget->setFont(font);
}

// A modeless, fixed-size dialog without maximize and minimize boxes,
// `client` big, that deletes itself when closed. It shows the stored
// window icon; the main window gives it its own when opening it.
inline void setUpDialog(QDialog* dialog, const char* name, const layout::Rect& client,
                        const layout::Font& font) {
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setModal(false);
    dialog->setWindowIcon(QIcon(QString::fromLatin1(resources::kDialogWindowIcon)));
    dialog->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    dialog->setFixedSize(fromTwips(client).size());
    setBaseFont(dialog, font);
}

inline QLabel* label(QWidget* parent, const char* name, const QString& text, QRect twipsRect) {
    auto* control = new QLabel(text, parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(fromTwips(twipsRect));
    control->setTextFormat(Qt::PlainText);  // texts from language files are never markup
    // Texts start at the top of the label, so labels on one line share a baseline.
    control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return control;
}

inline QPushButton* button(QWidget* parent, const char* name, const QString& text,
                           QRect twipsRect) {
    auto* control = new QPushButton(text, parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(fromTwips(twipsRect));
    control->setStyle(FocusFrameStyle());
    return control;
}

inline void setUnderline(QLabel* label) {
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
}

inline void setTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    // A label takes the text role of its parent: inside a toolbar that is
    // ButtonText, which would draw it in the button colour instead.
    label->setForegroundRole(QPalette::WindowText);
}

// The look of the web-address labels: underlined, in the highlight colour,
// with the hand pointer.
inline void setLinkStyle(QLabel* label) {
    setUnderline(label);
    setTextColour(label, label->palette().color(QPalette::Highlight));
    label->setCursor(QCursor(QPixmap(QString::fromLatin1(resources::kLinkPointer)),
                             resources::kLinkPointerHotX, resources::kLinkPointerHotY));
}

// An auto-size label that grows to the right, as left-aligned labels do.
inline void fitToText(QLabel* label) {
    label->adjustSize();
}

// An auto-size, right-aligned label: grows to the left, its right edge stays.
inline void fitToTextKeepingRightEdge(QLabel* label) {
    const int right = label->geometry().right();
    label->adjustSize();
    label->move(right - label->width() + 1, label->y());
}

}  // namespace hushgate::controls
