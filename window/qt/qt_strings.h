#pragma once

#include <QString>
#include <string_view>

namespace mardovane {

// The layout table's UTF-8 texts as Qt strings.
inline QString to_qstring(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace mardovane
