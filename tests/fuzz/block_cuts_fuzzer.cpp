// Fuzzes where the splitter's reader cuts its 512 KiB blocks. Input: a settings byte, then
// bytes that are placed so that they cross the first block's end: a line break, a CR LF or
// a UTF-8 sequence cut in two there. The text read in blocks must split as it does in one
// block: the same bytes out, or the same failure, said in the same words.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "cli/stream_split.h"
#include "substitution/keyword_table.h"

namespace {

using namespace mardovane;

struct Outcome {
    std::string output;
    std::string failure;
};

Outcome split(const std::string& text, const SplitPlan& plan, std::size_t block_bytes) {
    std::istringstream in(text);
    std::ostringstream out;
    cli::StreamSettings settings;
    settings.jobs = 1;
    settings.block_bytes = block_bytes;
    settings.max_length = 1 << 21;
    const auto failure = cli::split_stream(in, "input", out, "output", plan, settings);
    return {out.str(), failure ? std::to_string(failure->status) + " " + failure->message : ""};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    static const SplitPlan plan(KeywordTable({u"好", u"女子", u"é", u"e", u"ab", u"\U0001F600"}));
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    // The fuzzed bytes start up to 255 bytes before the first block's end.
    const std::size_t before_the_cut = data[0];
    std::string text(cli::kBlockBytes - std::min(before_the_cut, cli::kBlockBytes), 'a');
    text += bytes.substr(0, 4096);
    const Outcome in_blocks = split(text, plan, cli::kBlockBytes);
    const Outcome whole = split(text, plan, text.size() + 1);
    if (in_blocks.failure != whole.failure ||
        (whole.failure.empty() && in_blocks.output != whole.output)) {
        std::abort();
    }
    return 0;
}
