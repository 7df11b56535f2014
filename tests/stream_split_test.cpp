#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <new>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <variant>
#include <vector>

#include "cli/block_channel.h"
#include "cli/block_split.h"
#include "cli/block_workers.h"
#include "cli/exit_status.h"
#include "cli/stream_split.h"
#include "substitution/direct_utf8_split.h"
#include "substitution/text_codec.h"

namespace mardovane::cli {
namespace {

// The pieces of one block's result, as the writer would get them.
struct Pieces {
    std::vector<std::string> pieces;
    BlockOutcome outcome;
    std::string joined() const {
        std::string all;
        for (const auto& piece : pieces) {
            all += piece;
        }
        return all;
    }
};

Pieces split_whole(const SplitPlan& plan, std::string_view bytes, std::uint64_t times,
                   std::size_t max_length = kMaxResultLength,
                   std::size_t piece_units = kPieceUnits) {
    Pieces result;
    result.outcome = split_block(
        plan, bytes, times,
        [&](std::string&& piece) {
            result.pieces.push_back(std::move(piece));
            return true;
        },
        max_length, piece_units);
    return result;
}

std::string random_text(std::mt19937& random, std::u16string_view alphabet,
                        std::size_t max_length) {
    std::u16string text(std::uniform_int_distribution<std::size_t>(0, max_length)(random), u'a');
    for (auto& c : text) {
        c = alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
    }
    return std::get<std::string>(encode_utf8(text));
}

KeywordTable random_table(std::mt19937& random) {
    KeywordTable table;
    for (int line = std::uniform_int_distribution<int>(0, 8)(random); line > 0; --line) {
        const std::string utf8 = random_text(random, u"ab好", line % 2 == 0 ? 2 : 3);
        table.append_line(std::get<std::u16string>(decode(utf8, Encoding::Utf8)));
    }
    return table;
}

// Random tables and texts over a few letters and every kind of line break, split whole
// and split in blocks of a few bytes and pieces of a few code units (cut at line breaks)
// on several threads: the bytes must be the same, since no text to find or replacement
// holds a line break.
TEST(StreamSplit, BlocksAndPiecesSplitAsTheWholeText) {
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        const SplitPlan plan(random_table(random));
        const std::string input = random_text(random, u"ab好\r\n", 60);
        const std::uint64_t times = 1 + round % 3;
        const Pieces whole = split_whole(plan, input, times, 4096, std::size_t{1} << 30);
        if (whole.outcome.failure) {
            continue;
        }
        for (const std::size_t block_bytes : {1, 3, 8}) {
            std::istringstream in(input);
            std::ostringstream out;
            StreamSettings settings;
            settings.times = times;
            settings.jobs = block_bytes == 3 ? 1 : 3;
            settings.block_bytes = block_bytes;
            settings.piece_units = block_bytes;
            settings.held_bytes = block_bytes;
            const auto failure = split_stream(in, "input", out, "output", plan, settings);
            ASSERT_FALSE(failure.has_value()) << failure->message;
            ASSERT_EQ(out.str(), whole.joined())
                << "round " << round << ", blocks of " << block_bytes;
        }
    }
}

// Random tables of single characters (now and then a longer text to find, which turns the
// direct way off) and random texts with every kind of line break and broken UTF-8, split
// straight through UTF-8 and the general way: the same bytes, or the same failure in the
// same words, whatever the limit.
// Up to `max_length` characters picked from `characters` (UTF-8 each).
std::string random_characters(std::mt19937& random, const std::vector<std::string>& characters,
                              std::size_t max_length) {
    std::string text;
    for (auto n = std::uniform_int_distribution<std::size_t>(0, max_length)(random); n > 0; --n) {
        text += characters[random() % characters.size()];
    }
    return text;
}

std::u16string utf16(const std::string& utf8) {
    return std::get<std::u16string>(decode(utf8, Encoding::Utf8));
}

TEST(StreamSplit, StraightThroughUtf8AgreesWithTheGeneralWay) {
    std::mt19937 random(23);
    const std::vector<std::string> finds = {"a", "b", "好", "女"};
    const std::vector<std::string> pieces = {"a", "b", "好", "女", "子", "😀"};
    const std::vector<std::string> text = {"a", "b", "好", "女", "😀", "\r", "\n", "\r\n"};
    const std::vector<std::string> broken = {
        "\xFF", "\xE5\xA5", "\xED\xA0\x80", "\xC0\x80", "\xF4\x90\x80\x80", "\xE0\x80\x80", "\x80"};
    int compared = 0;
    int failures = 0;
    for (int round = 0; round < 2000; ++round) {
        KeywordTable table;
        for (int pair = std::uniform_int_distribution<int>(0, 6)(random); pair > 0; --pair) {
            const bool longer = random() % 20 == 0;
            std::string find = finds[random() % finds.size()];
            if (longer) {
                find += finds[random() % finds.size()];
            }
            table.append_line(utf16(find));
            table.append_line(utf16(random_characters(random, pieces, 4)));
        }
        const SplitPlan plan(table);
        std::string input = random_characters(random, text, 40);
        if (random() % 4 == 0) {
            const std::size_t at =
                std::uniform_int_distribution<std::size_t>(0, input.size())(random);
            input.insert(at, broken[random() % broken.size()]);
        }
        StreamSettings settings;
        settings.block_bytes = 1 + random() % 16;
        settings.piece_units = 1 + random() % 8;
        settings.max_length = 4 + random() % 40;
        settings.jobs = 1 + round % 3;
        std::string outputs[2];
        std::optional<StreamFailure> failures_seen[2];
        for (const bool direct : {true, false}) {
            settings.direct = direct;
            std::istringstream in(input);
            std::ostringstream out;
            failures_seen[direct] = split_stream(in, "input", out, "output", plan, settings);
            outputs[direct] = out.str();
        }
        ASSERT_EQ(failures_seen[0].has_value(), failures_seen[1].has_value()) << "round " << round;
        if (failures_seen[0]) {
            EXPECT_EQ(failures_seen[1]->message, failures_seen[0]->message) << "round " << round;
            EXPECT_EQ(failures_seen[1]->status, failures_seen[0]->status) << "round " << round;
            ++failures;
        } else {
            ASSERT_EQ(outputs[1], outputs[0]) << "round " << round;
            ++compared;
        }
    }
    EXPECT_GT(compared, 1000);
    EXPECT_GT(failures, 200);
}

// Rows at the edges of the direct way: images that fill a slot exactly or outgrow it, a
// character in the last bytes of the input, pairs that find ASCII or two-byte characters,
// and broken sequences. The direct way gives what the general way gives, and the pieces
// are what a reader expects.
struct DirectCase {
    const char* name;
    std::vector<std::u16string> table;
    std::string input;
    std::string output;  // empty: the input is broken, and both ways fail alike
};

class DirectWay : public ::testing::TestWithParam<DirectCase> {};

TEST_P(DirectWay, GivesWhatTheGeneralWayGives) {
    const auto& test = GetParam();
    const SplitPlan plan{KeywordTable(test.table)};
    const auto direct = DirectUtf8Split::of(plan);
    ASSERT_TRUE(direct.has_value());
    Pieces fast;
    fast.outcome = split_block(
        plan, test.input, 1,
        [&](std::string&& piece) {
            fast.pieces.push_back(std::move(piece));
            return true;
        },
        kMaxResultLength, kPieceUnits, &*direct);
    const Pieces general = split_whole(plan, test.input, 1);
    ASSERT_EQ(fast.outcome.failure.has_value(), general.outcome.failure.has_value());
    if (general.outcome.failure) {
        EXPECT_TRUE(test.output.empty());
        EXPECT_EQ(fast.outcome.failure->byte_offset, general.outcome.failure->byte_offset);
        EXPECT_EQ(fast.outcome.failure->line, general.outcome.failure->line);
        return;
    }
    EXPECT_EQ(fast.joined(), test.output);
    EXPECT_EQ(general.joined(), test.output);
}

INSTANTIATE_TEST_SUITE_P(
    StreamSplit, DirectWay,
    ::testing::Values(
        DirectCase{"characters_no_pair_finds_stay", {u"好", u"女子"}, "中好文\n", "中女子文\n"},
        DirectCase{
            "image_that_fills_a_slot", {u"好", u"一二三四五"}, "好好", "一二三四五一二三四五"},
        DirectCase{"image_one_byte_past_a_slot", {u"好", u"😀😀😀😀"}, "好x好", "😀😀😀😀x😀😀😀😀"},
        DirectCase{"image_far_past_a_slot",
                   {u"好", u"一二三四五六七八九十"},
                   "好\r\n好",
                   "一二三四五六七八九十\r\n一二三四五六七八九十"},
        DirectCase{"image_made_by_two_pairs", {u"湖", u"氵胡", u"胡", u"古月"}, "湖", "氵古月"},
        DirectCase{"last_character_in_the_last_three_bytes", {u"好", u"女子"}, "a好", "a女子"},
        DirectCase{"pair_that_finds_ascii", {u"a", u"好"}, "banana", "b好n好n好"},
        DirectCase{"pair_that_finds_two_bytes", {u"é", u"e"}, "café\n", "cafe\n"},
        DirectCase{"pair_that_empties", {u"好", u""}, "你好吗", "你吗"},
        DirectCase{"character_past_the_bmp", {u"好", u"女子"}, "😀好😀", "😀女子😀"},
        DirectCase{"overlong_three_bytes", {u"好", u"女子"}, "好\n好\xE0\x80\x80好", ""},
        DirectCase{"surrogate_in_three_bytes", {u"好", u"女子"}, "好\xED\xA0\x80", ""},
        DirectCase{"cut_off_at_the_end", {u"好", u"女子"}, "好\n\xE5\xA5", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Many small blocks on many threads, each block in many pieces that wait for room: the
// workers, the channels and the writer under load (the ThreadSanitizer build runs this).
TEST(StreamSplit, ManyBlocksOnManyJobs) {
    const SplitPlan plan(KeywordTable({u"好", u"女子", u"a", u"bcd"}));
    std::string input;
    std::string expected;
    for (int line = 0; line < 20000; ++line) {
        input += line % 2 == 0 ? "好a\n" : "x\r\n";
        expected += line % 2 == 0 ? "女子bcd\n" : "x\r\n";
    }
    std::istringstream in(input);
    std::ostringstream out;
    StreamSettings settings;
    settings.jobs = 16;
    settings.block_bytes = 64;
    settings.piece_units = 8;
    settings.held_bytes = 16;
    ASSERT_FALSE(split_stream(in, "input", out, "output", plan, settings).has_value());
    EXPECT_EQ(out.str(), expected);
}

// A writer that gives up: every worker waiting with a piece is let go, and the failure says
// what happened.
TEST(StreamSplit, AFailedWriteLetsEveryWorkerGo) {
    const SplitPlan plan(KeywordTable({u"a", std::u16string(100, u'b')}));
    const std::string input(200000, '\n');
    for (const unsigned jobs : {1u, 2u, 8u}) {
        std::istringstream in(std::string(20000, 'a') + "\n" + input);
        std::ostringstream out;
        out.setstate(std::ios::badbit);
        StreamSettings settings;
        settings.jobs = jobs;
        settings.block_bytes = 100;
        settings.piece_units = 16;
        settings.held_bytes = 64;
        const auto failure = split_stream(in, "input", out, "output", plan, settings);
        ASSERT_TRUE(failure.has_value()) << jobs;
        EXPECT_EQ(failure->status, kOutputFailed);
        EXPECT_EQ(failure->message, "output: cannot write the output");
    }
}

struct TooLargeCase {
    const char* name;
    std::string input;
    std::size_t failing_line;  // 0: it fits
    std::string output;
};

class OneLineTooLarge : public ::testing::TestWithParam<TooLargeCase> {};

// With a → ten b and a limit of 50 code units, six a on one line are too many. Whatever
// ends the line, only that line fails, and the lines around it are not held against it.
TEST_P(OneLineTooLarge, FailsAtThatLineAndNowhereElse) {
    const auto& test = GetParam();
    const SplitPlan plan(KeywordTable({u"a", std::u16string(10, u'b')}));
    const Pieces result = split_whole(plan, test.input, 1, 50, 4);
    if (test.failing_line == 0) {
        ASSERT_FALSE(result.outcome.failure.has_value());
        EXPECT_EQ(result.joined(), test.output);
        return;
    }
    ASSERT_TRUE(result.outcome.failure.has_value());
    EXPECT_EQ(result.outcome.failure->kind, BlockFailure::Kind::ResultTooLarge);
    EXPECT_EQ(result.outcome.failure->line, test.failing_line);
    EXPECT_EQ(result.outcome.failure->limit, 50u);
}

INSTANTIATE_TEST_SUITE_P(
    StreamSplit, OneLineTooLarge,
    ::testing::Values(TooLargeCase{"ends_in_crlf", "aaaaaa\r\n", 1, ""},
                      TooLargeCase{"ends_in_lf", "aaaaaa\n", 1, ""},
                      TooLargeCase{"no_line_end", "aaaaaa", 1, ""},
                      TooLargeCase{"after_short_lines", "a\r\na\r\naaaaaa\r\n", 3, ""},
                      TooLargeCase{"before_short_lines", "aaaaaa\r\na\r\na\r\n", 1, ""},
                      TooLargeCase{"after_lone_line_breaks", "\r\r\raaaaaa\r\n\n", 4, ""},
                      TooLargeCase{"lines_that_fit_one_by_one", "aaaa\r\naaaa\r\naaaa\r\n", 0,
                                   std::string(40, 'b') + "\r\n" + std::string(40, 'b') + "\r\n" +
                                       std::string(40, 'b') + "\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// A table that makes each character a hundred: the result comes out in pieces of about the
// size asked for, never as the whole block at once.
TEST(BlockSplit, HandsTheResultOverInBoundedPieces) {
    const SplitPlan plan(KeywordTable({u"a", std::u16string(100, u'b')}));
    std::string input;
    for (int line = 0; line < 5000; ++line) {
        input += "aaa\n";
    }
    const std::size_t piece_units = 4096;
    const Pieces result = split_whole(plan, input, 1, kMaxResultLength, piece_units);
    ASSERT_FALSE(result.outcome.failure.has_value());
    EXPECT_EQ(result.joined().size(), 5000u * 301);
    EXPECT_GT(result.pieces.size(), 100u);
    for (const auto& piece : result.pieces) {
        EXPECT_LE(piece.size(), 2 * piece_units + 301);
    }
}

struct FaultCase {
    const char* name;
    unsigned jobs;
    std::size_t held_bytes;  // 0: the default
    std::string written;     // what the output holds after the fault
};

class StreamFault : public ::testing::TestWithParam<FaultCase> {};

// A fault names its line and offset in the whole input, however it was cut; what came
// before it is written only once more than the held bytes came before it.
TEST_P(StreamFault, NamesTheLineAndOffsetInTheWholeInput) {
    const auto& test = GetParam();
    const SplitPlan plan(KeywordTable({u"a", u"b"}));
    std::istringstream in("a\na\r\na\n\xFF");
    std::ostringstream out;
    StreamSettings settings;
    settings.jobs = test.jobs;
    settings.block_bytes = 2;
    if (test.held_bytes != 0) {
        settings.held_bytes = test.held_bytes;
    }
    const auto failure = split_stream(in, "input", out, "output", plan, settings);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->message, "input:4: invalid UTF-8 byte sequence at byte offset 7");
    EXPECT_EQ(out.str(), test.written);
}

INSTANTIATE_TEST_SUITE_P(
    StreamSplit, StreamFault,
    ::testing::Values(FaultCase{"what_came_before_past_the_held_bytes", 2, 1, "b\nb\r\nb\n"},
                      FaultCase{"a_short_result_only_when_complete", 1, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A starter that gives `count` threads and then fails as the system does.
BlockWorkers::ThreadStarter failing_after(unsigned count, std::atomic<int>& finished) {
    return [count, &finished, started = 0u](std::function<void()> work) mutable {
        if (started++ == count) {
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
        }
        return std::thread([work = std::move(work), &finished] {
            work();
            ++finished;
        });
    };
}

TEST(BlockWorkers, ThreadsThatCannotStartAreReportedAndTheOthersStopped) {
    std::atomic<int> finished = 0;
    try {
        BlockWorkers workers(8, failing_after(3, finished));
        FAIL() << "the fourth thread should not have started";
    } catch (const ThreadsUnavailable& error) {
        EXPECT_EQ(error.asked(), 8u);
        EXPECT_EQ(error.started(), 3u);
        EXPECT_TRUE(std::string(error.what()).starts_with("cannot start 8 threads ("))
            << error.what();
    }
    EXPECT_EQ(finished, 3);  // joined, not left running or destroyed joinable
}

TEST(StreamSplit, ReportsThreadsThatCannotStart) {
    std::atomic<int> finished = 0;
    std::istringstream in("a");
    std::ostringstream out;
    StreamSettings settings;
    settings.jobs = 4;
    settings.start_thread = failing_after(1, finished);
    const auto failure =
        split_stream(in, "input", out, "output", SplitPlan(KeywordTable()), settings);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->status, kThreadsUnavailable);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(finished, 1);
}

// Waits, up to 30 s, until the worker is held in put() for want of room.
bool held_for_room(const BlockChannel& channel) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!channel.worker_waits_for_room()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

TEST(BlockChannel, AWorkerWaitsForRoomAndIsLetGoWhenAbandoned) {
    BlockChannel channel(4);
    ASSERT_TRUE(channel.put("12345"));  // room for one piece, however long
    auto second = std::async(std::launch::async, [&] { return channel.put("6"); });
    ASSERT_TRUE(held_for_room(channel));
    EXPECT_EQ(channel.take(), "12345");
    EXPECT_TRUE(second.get());
    EXPECT_EQ(channel.take(), "6");

    ASSERT_TRUE(channel.put("78901"));
    auto third = std::async(std::launch::async, [&] { return channel.put("2"); });
    ASSERT_TRUE(held_for_room(channel));
    channel.abandon();
    EXPECT_FALSE(third.get());
    EXPECT_FALSE(channel.worker_waits_for_room());
}

// An input that never ends: `head`, then `pattern` over and over, as many bytes as are
// asked for; it counts what it gave.
class EndlessInput final : public std::streambuf {
  public:
    EndlessInput(std::string head, std::string pattern)
        : head_(std::move(head)), pattern_(std::move(pattern)) {}
    std::size_t given() const { return given_; }

  protected:
    std::streamsize xsgetn(char* into, std::streamsize count) override {
        for (std::streamsize i = 0; i < count; ++i, ++given_) {
            into[i] = given_ < head_.size() ? head_[given_]
                                            : pattern_[(given_ - head_.size()) % pattern_.size()];
        }
        return count;
    }
    int_type underflow() override { return traits_type::eof(); }

  private:
    std::string head_;
    std::string pattern_;
    std::size_t given_ = 0;
};

struct EndlessCase {
    const char* name;
    std::string head;     // before the endless line
    std::string pattern;  // the endless line, repeated
    int status;
    std::string message;
};

class EndlessLine : public ::testing::TestWithParam<EndlessCase> {};

// A line with no end (/dev/zero) is read until it cannot fit the limit, then refused: the
// memory it takes is bounded by the limit, not by what there is. A fault in what was read
// of it comes first; a character cut where reading stopped is none.
TEST_P(EndlessLine, IsReadOnlyUntilItCannotFit) {
    const auto& test = GetParam();
    EndlessInput endless(test.head, test.pattern);
    std::istream in(&endless);
    std::ostringstream out;
    StreamSettings settings;
    settings.block_bytes = 4096;
    settings.max_length = 100000;
    const auto failure =
        split_stream(in, "input", out, "output", SplitPlan(KeywordTable()), settings);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->status, test.status);
    EXPECT_EQ(failure->message, test.message);
    // Three bytes a code unit at the most, and a block more.
    EXPECT_LE(endless.given(), test.head.size() + 3 * settings.max_length + settings.block_bytes);
}

INSTANTIATE_TEST_SUITE_P(
    StreamSplit, EndlessLine,
    ::testing::Values(
        EndlessCase{"nul_bytes", "", std::string(1, '\0'), kResultTooLarge,
                    "input:1: this line is longer than 100000 UTF-16 code units, the most a "
                    "line may hold"},
        EndlessCase{"chinese_after_short_lines", "a\nb\n", "好好好好好好好", kResultTooLarge,
                    "input:3: this line is longer than 100000 UTF-16 code units, the most a "
                    "line may hold"},
        EndlessCase{"a_bad_byte_before_the_limit", "a\n" + std::string(5000, 'x') + "\xFF", "y",
                    kInputFailed, "input:2: invalid UTF-8 byte sequence at byte offset 5002"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace mardovane::cli

namespace mardovane::cli {
namespace {

struct CauseCase {
    const char* name;
    std::function<void()> fail;
    BlockFailure::Kind kind;
    int status;
    std::string message;
};

// Each failure of a worker keeps its own cause: only the memory running out is said to be
// that; anything else is the splitter's own fault, in the words of what failed.
TEST(BlockFailure, KeepsTheTrueCauseOfAnException) {
    const std::vector<CauseCase> cases = {
        {"no memory", [] { throw std::bad_alloc(); }, BlockFailure::Kind::OutOfMemory, kOutOfMemory,
         "in.txt: out of memory while splitting"},
        {"a string too long", [] { throw std::length_error("basic_string::_M_create"); },
         BlockFailure::Kind::OutOfMemory, kOutOfMemory, "in.txt: out of memory while splitting"},
        {"an unchecked variant",
         [] {
             std::variant<int, std::string> value = 1;
             (void)std::get<std::string>(value);
         },
         BlockFailure::Kind::Unexpected, kInternalError,
         "in.txt: internal error while splitting (please report it): "},
        {"a system error",
         [] { throw std::system_error(std::make_error_code(std::errc::invalid_argument)); },
         BlockFailure::Kind::Unexpected, kInternalError,
         "in.txt: internal error while splitting (please report it): "},
    };
    for (const auto& test : cases) {
        BlockFailure failure;
        try {
            test.fail();
            FAIL() << test.name << " threw nothing";
        } catch (...) {
            failure = BlockFailure::of_current_exception();
        }
        EXPECT_EQ(failure.kind, test.kind) << test.name;
        EXPECT_EQ(exit_status_of(failure.kind), test.status) << test.name;
        EXPECT_TRUE(describe(failure, "in.txt", 1, 0).starts_with(test.message))
            << test.name << ": " << describe(failure, "in.txt", 1, 0);
        if (failure.kind == BlockFailure::Kind::Unexpected) {
            EXPECT_FALSE(failure.what.empty()) << test.name;
        }
    }
}

// A line that is itself over the limit is not said to grow after some pair: with no pair
// at all it fails the same.
TEST(StreamSplit, SaysALineIsTooLongWhenItIsTheLineItself) {
    std::istringstream in("ab\nabcdef\n");
    std::ostringstream out;
    StreamSettings settings;
    settings.max_length = 4;
    const auto failure =
        split_stream(in, "input", out, "output", SplitPlan(KeywordTable()), settings);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->status, kResultTooLarge);
    EXPECT_EQ(failure->message,
              "input:2: this line is longer than 4 UTF-16 code units, the most a line may hold");
}

}  // namespace
}  // namespace mardovane::cli
