#include "engine/batch_order.h"

#include <unordered_map>

#include "engine/wide_char.h"

namespace {

// waitedBy[j]: the move whose target is move j's source (at most one: targets are distinct).
std::vector<uint32_t> WaitedBy(const std::vector<uint32_t>& waits)
{
    std::vector<uint32_t> waitedBy(waits.size(), kNoMove);
    for (uint32_t i = 0; i < waits.size(); ++i) {
        if (waits[i] != kNoMove && waitedBy[waits[i]] == kNoMove) waitedBy[waits[i]] = i;
    }
    return waitedBy;
}

}  // namespace

std::vector<uint32_t> WaitingMoves(const std::vector<const std::wstring*>& from,
                                   const std::vector<const std::wstring*>& to)
{
    std::unordered_map<std::wstring, uint32_t> bySource;
    bySource.reserve(from.size());
    for (uint32_t i = 0; i < from.size(); ++i) bySource.emplace(FoldedText(*from[i]), i);
    std::vector<uint32_t> waits(to.size(), kNoMove);
    for (uint32_t i = 0; i < to.size(); ++i) {
        const auto found = bySource.find(FoldedText(*to[i]));
        if (found != bySource.end() && found->second != i) waits[i] = found->second;
    }
    return waits;
}

std::wstring TemporaryMovePath(const std::wstring& besidePath, const std::wstring& batchId, uint32_t n)
{
    const size_t slash = besidePath.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : besidePath.substr(0, slash + 1);
    return folder + L"~op-" + batchId + L"-" + std::to_wstring(n) + L".tmp";
}

MoveOrder OrderMoves(const std::vector<const std::wstring*>& from, const std::vector<const std::wstring*>& to,
                     const std::wstring& batchId)
{
    const std::vector<uint32_t> waits = WaitingMoves(from, to);
    const std::vector<uint32_t> waitedBy = WaitedBy(waits);
    MoveOrder order;
    order.moves.reserve(from.size());
    std::vector<uint8_t> placed(from.size(), 0);
    uint32_t temps = 0;
    auto add = [&](uint32_t move) {
        placed[move] = 1;
        order.moves.push_back(move);
    };
    // Chains: from the move whose target is free, back along the moves waiting for it.
    for (uint32_t end = 0; end < from.size(); ++end) {
        if (waits[end] != kNoMove) continue;
        const bool caseOnly = EqualIgnoringCase(*from[end], *to[end]);
        for (uint32_t at = end; at != kNoMove && !placed[at]; at = waitedBy[at]) {
            MoveUnit unit{static_cast<uint32_t>(order.moves.size()), 1, false, {}};
            if (at == end && caseOnly) {
                unit.viaTemp = true;
                unit.temp = TemporaryMovePath(*from[at], batchId, ++temps);
            }
            add(at);
            order.units.push_back(std::move(unit));
        }
    }
    // What is left are cycles: the first member steps aside, the rest follow it round.
    for (uint32_t start = 0; start < from.size(); ++start) {
        if (placed[start]) continue;
        MoveUnit unit{static_cast<uint32_t>(order.moves.size()), 0, true,
                      TemporaryMovePath(*from[start], batchId, ++temps)};
        for (uint32_t at = start; at != kNoMove && !placed[at]; at = waitedBy[at]) {
            add(at);
            ++unit.count;
        }
        order.units.push_back(std::move(unit));
    }
    return order;
}
