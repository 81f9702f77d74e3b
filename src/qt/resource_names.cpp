#include "resource_names.h"

#include <QFile>
#include <QString>

namespace hushgate::resources {

std::vector<const char*> missingResources() {
    std::vector<const char*> missing;
    for (const char* path : kAll) {
        if (!QFile::exists(QString::fromLatin1(path)))
            missing.push_back(path);
    }
    return missing;
}

}  // namespace hushgate::resources
