#include "open_web.h"

#include <QDesktopServices>
#include <QUrl>

#include "hosts_error.h"
#include "main_presenter.h"
#include "message_box.h"

namespace hushgate {

namespace {

std::optional<bool>& pretendedRoot() {
    static std::optional<bool> root;
    return root;
}

}  // namespace

bool RunningAsRoot() {
    if (pretendedRoot()) {
        return *pretendedRoot();
    }
#ifdef _WIN32
    return false;
#else
    return RunsWithAdministratorRights();
#endif
}

void PretendRunningAsRoot(std::optional<bool> root) {
    pretendedRoot() = root;
}

void OpenWeb(QWidget* owner, const QString& address) {
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty()) {
        return;
    }
    if (RunningAsRoot()) {
        MessageBox::information(owner, QString::fromLatin1(MainPresenter::kTitle), address);
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
