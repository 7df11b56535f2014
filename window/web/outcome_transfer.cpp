#include "window/web/outcome_transfer.h"

#include <string>
#include <vector>

namespace mardovane::web {
namespace {

using emscripten::val;

val failure_to_js(const SplitFailure& failure) {
    val object = val::object();
    object.set("kind", std::string("failure"));
    if (const auto* file = std::get_if<FileError>(&failure)) {
        object.set("failure", std::string("file"));
        object.set("problem", static_cast<int>(file->problem));
        object.set("path", file->path.string());
        object.set("systemMessage", file->system_message);
        object.set("line", static_cast<double>(file->line));
        object.set("byteOffset", static_cast<double>(file->decode.byte_offset));
        object.set("reason", static_cast<int>(file->decode.reason));
        object.set("encoding", static_cast<int>(file->encoding));
    } else if (const auto* too_large = std::get_if<ResultTooLarge>(&failure)) {
        object.set("failure", std::string("tooLarge"));
        object.set("limit", static_cast<double>(too_large->limit));
    } else if (std::holds_alternative<OutOfMemory>(failure)) {
        object.set("failure", std::string("memory"));
    } else if (std::holds_alternative<ThreadUnavailable>(failure)) {
        object.set("failure", std::string("thread"));
    } else {
        object.set("failure", std::string("unexpected"));
        object.set("what", std::get<UnexpectedError>(failure).what);
    }
    return object;
}

SplitFailure failure_from_js(const val& object) {
    const auto failure = object["failure"].as<std::string>();
    if (failure == "file") {
        FileError error;
        error.problem = static_cast<FileProblem>(object["problem"].as<int>());
        error.path = object["path"].as<std::string>();
        error.system_message = object["systemMessage"].as<std::string>();
        error.line = static_cast<std::size_t>(object["line"].as<double>());
        error.decode.byte_offset = static_cast<std::size_t>(object["byteOffset"].as<double>());
        error.decode.reason = static_cast<DecodeError::Reason>(object["reason"].as<int>());
        error.encoding = static_cast<Encoding>(object["encoding"].as<int>());
        return error;
    }
    if (failure == "tooLarge") {
        return ResultTooLarge{static_cast<std::size_t>(object["limit"].as<double>())};
    }
    if (failure == "memory") {
        return OutOfMemory{};
    }
    if (failure == "thread") {
        return ThreadUnavailable{};
    }
    return UnexpectedError{object["what"].as<std::string>()};
}

}  // namespace

std::u16string units_from_js(const val& units) {
    std::u16string text(units["length"].as<std::size_t>(), u'\0');
    val(emscripten::typed_memory_view(text.size(), reinterpret_cast<std::uint16_t*>(text.data())))
        .call<void>("set", units);
    return text;
}

val units_to_js(const std::u16string& text) {
    return val(emscripten::typed_memory_view(text.size(),
                                             reinterpret_cast<const std::uint16_t*>(text.data())));
}

val outcome_to_js(const SplitOutcome& outcome) {
    if (const auto* failure = std::get_if<SplitFailure>(&outcome)) {
        return failure_to_js(*failure);
    }
    val object = val::object();
    if (const auto* text = std::get_if<NewText>(&outcome)) {
        object.set("kind", std::string("text"));
        // A copy of its own, which may cross to the page.
        object.set("text", val::global("Uint16Array").call<val>("from", units_to_js(text->text)));
        object.set("from", static_cast<double>(text->selection.from));
        object.set("to", static_cast<double>(text->selection.to));
        object.set("replacements", static_cast<double>(text->replacements));
    } else {
        object.set("kind", std::string("unchanged"));
    }
    return object;
}

SplitOutcome outcome_from_js(const val& object) {
    const auto kind = object["kind"].as<std::string>();
    if (kind == "text") {
        return NewText{units_from_js(object["text"]),
                       {static_cast<std::size_t>(object["from"].as<double>()),
                        static_cast<std::size_t>(object["to"].as<double>())},
                       static_cast<std::size_t>(object["replacements"].as<double>())};
    }
    if (kind == "unchanged") {
        return TextUnchanged{};
    }
    return failure_from_js(object);
}

namespace {

const char* job_kind_name(JobKind kind) {
    switch (kind) {
        case JobKind::Split:
            return "split";
        case JobKind::SplitSelection:
            return "splitSelection";
        case JobKind::Paste:
            return "paste";
    }
    return "split";
}

}  // namespace

val job_to_js(const Job& job) {
    val object = val::object();
    object.set("kind", std::string(job_kind_name(job.kind)));
    object.set("text", val::global("Uint16Array").call<val>("from", units_to_js(job.text)));
    object.set("from", static_cast<double>(job.selection.from));
    object.set("to", static_cast<double>(job.selection.to));
    object.set("pasted", val::global("Uint16Array").call<val>("from", units_to_js(job.pasted)));
    return object;
}

Job job_from_js(const val& object) {
    Job job;
    const auto kind = object["kind"].as<std::string>();
    job.kind = kind == "paste"            ? JobKind::Paste
               : kind == "splitSelection" ? JobKind::SplitSelection
                                          : JobKind::Split;
    job.text = units_from_js(object["text"]);
    job.selection = {static_cast<std::size_t>(object["from"].as<double>()),
                     static_cast<std::size_t>(object["to"].as<double>())};
    job.pasted = units_from_js(object["pasted"]);
    return job;
}

}  // namespace mardovane::web
