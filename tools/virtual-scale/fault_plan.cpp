#include "virtual-scale/fault_plan.h"

#include <sstream>

namespace plu::virtual_scale {

namespace {

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in{std::string(text)};
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator) parts.emplace_back();
    return parts;
}

}  // namespace

bool HasDuration(FaultKind kind) {
    return kind == FaultKind::Pause || kind == FaultKind::Unplug;
}

std::optional<FaultRule> ParseFaultRule(std::string_view text, std::string* error) {
    auto fail = [&](const std::string& why) -> std::optional<FaultRule> {
        if (error) *error = why;
        return std::nullopt;
    };
    const std::vector<std::string> parts = Split(text, ':');
    if (parts.empty() || parts.size() > 4) return fail("expected KIND[:COUNT[:FRAMES[:MS]]]");
    FaultRule rule;
    const std::string& kind = parts[0];
    if (kind == "checksum")
        rule.kind = FaultKind::BadChecksum;
    else if (kind == "reject")
        rule.kind = FaultKind::Reject;
    else if (kind == "silent")
        rule.kind = FaultKind::Silent;
    else if (kind == "split")
        rule.kind = FaultKind::Split;
    else if (kind == "garbage")
        rule.kind = FaultKind::Garbage;
    else if (kind == "garbage-xoff")
        rule.kind = FaultKind::GarbageXoff;
    else if (kind == "corrupt")
        rule.kind = FaultKind::Corrupt;
    else if (kind == "letters")
        rule.kind = FaultKind::Letters;
    else if (kind == "pause")
        rule.kind = FaultKind::Pause;
    else if (kind == "unplug")
        rule.kind = FaultKind::Unplug;
    else
        return fail("unknown fault \"" + kind + "\"");
    auto isNumber = [](const std::string& text) {
        return !text.empty() && text.size() <= 6 &&
               text.find_first_not_of("0123456789") == std::string::npos;
    };
    if (parts.size() >= 2) {
        std::string count = parts[1];
        if (const std::size_t at = count.find('@'); at != std::string::npos) {
            const std::string skip = count.substr(at + 1);
            if (!isNumber(skip)) return fail("the frames to skip \"" + skip + "\" are no number");
            rule.skip = std::stoi(skip);
            count.resize(at);
        }
        if (count == "all") {
            rule.remaining = -1;
        } else if (isNumber(count)) {
            rule.remaining = std::stoi(count);
        } else {
            return fail("the count \"" + count + "\" is neither a number nor \"all\"");
        }
    }
    if (rule.kind == FaultKind::Pause) rule.milliseconds = 500;
    if (rule.kind == FaultKind::Unplug) rule.milliseconds = 1500;
    if (parts.size() >= 3 && parts[2] != "*") {
        for (const std::string& prefix : Split(parts[2], ','))
            if (!prefix.empty()) rule.prefixes.push_back(prefix);
        if (rule.prefixes.empty()) return fail("no frame prefix given");
    }
    if (parts.size() == 4) {
        if (!HasDuration(rule.kind)) return fail("only pause and unplug take a duration");
        const std::string& ms = parts[3];
        if (ms.empty() || ms.size() > 6 || ms.find_first_not_of("0123456789") != std::string::npos)
            return fail("the duration \"" + ms + "\" is no number of milliseconds");
        rule.milliseconds = std::stoi(ms);
    }
    return rule;
}

bool FaultPlan::Take(FaultKind kind, std::string_view frameBody) {
    return TakeTimed(kind, frameBody).has_value();
}

bool FaultPlan::Has(FaultKind kind) const {
    for (const FaultRule& rule : rules_)
        if (rule.kind == kind) return true;
    return false;
}

std::optional<int> FaultPlan::TakeTimed(FaultKind kind, std::string_view frameBody) {
    for (FaultRule& rule : rules_) {
        if (rule.kind != kind || rule.remaining == 0) continue;
        bool matches = rule.prefixes.empty();
        for (const std::string& prefix : rule.prefixes)
            if (frameBody.substr(0, prefix.size()) == prefix) matches = true;
        if (!matches) continue;
        if (rule.skip > 0) {
            --rule.skip;
            continue;
        }
        if (rule.remaining > 0) --rule.remaining;
        return rule.milliseconds;
    }
    return std::nullopt;
}

}  // namespace plu::virtual_scale
