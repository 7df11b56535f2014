#include "substitution/text_codec.h"

namespace mardovane {

std::string_view encoding_name(Encoding encoding) {
    return encoding == Encoding::Gbk ? "GBK" : "UTF-8";
}

}  // namespace mardovane
