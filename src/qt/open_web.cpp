#include "open_web.h"

#include <QDesktopServices>
#include <QUrl>

namespace hushgate {

void OpenWeb(QWidget* owner, const QString& address) {
    Q_UNUSED(owner);
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty()) {
        return;
    }
    // The result is ignored on purpose: a browser that fails to start has
    // already told the user, or cannot be helped from here.
    QDesktopServices::openUrl(url);
}

void OpenWeb(QWidget* owner, const char* address) {
    OpenWeb(owner, QString::fromUtf8(address));
}

}  // namespace hushgate
