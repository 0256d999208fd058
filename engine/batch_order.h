#pragma once
// Renames within one batch: a target that is the current name of another file of the batch is
// free once that file has moved on. Which moves wait for which, and an order in which every move
// finds its target free: a chain from its free end back, a cycle and a case-only change through
// one temporary name in the same folder. Pure: paths in, order out.
#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t kNoMove = UINT32_MAX;

// The moves whose source path is the target of another one, compared as the planner compares
// paths (case folded): waits[i] is the move whose source is move i's target, or kNoMove (also
// for a case-only change, whose target is its own source).
std::vector<uint32_t> WaitingMoves(const std::vector<const std::wstring*>& from,
                                   const std::vector<const std::wstring*>& to);

// A run of `MoveOrder::moves` that is carried out as a whole: Stop waits for its end. A step of a
// chain is one move. With `viaTemp`, the first move goes to the temporary name first, the others
// follow in order, and the first one goes from the temporary name to its target last (a cycle;
// a case-only change is a unit of one).
struct MoveUnit {
    uint32_t first = 0;
    uint32_t count = 0;
    bool viaTemp = false;
    std::wstring temp;  // full path of the temporary name, with viaTemp
};

struct MoveOrder {
    std::vector<uint32_t> moves;  // every move, in the order they run
    std::vector<MoveUnit> units;  // consecutive runs of `moves`
};

// The order for moves whose targets are each free or the source of another move of the set (the
// planner's "Ready" rows). Temporary names are `~op-<batchId>-<n>.tmp` beside the first move's
// source, n counting from 1.
MoveOrder OrderMoves(const std::vector<const std::wstring*>& from, const std::vector<const std::wstring*>& to,
                     const std::wstring& batchId);

// The temporary name of a unit: `~op-<batchId>-<n>.tmp` in the folder of `besidePath`.
std::wstring TemporaryMovePath(const std::wstring& besidePath, const std::wstring& batchId, uint32_t n);
