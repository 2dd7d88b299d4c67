// The search for a short layout: every item on a row of boards of one size,
// the last board's used length (along x) as short as it can be. A first
// layout is built at once (first fit, each item as far left as it goes);
// then, round after round, each thread shrinks the best layout a little and
// moves the items that now overlap to the spots where they overlap least,
// weighing the pairs that keep overlapping more each time (a guided local
// search), until nothing overlaps (a shorter layout) or it gives up.
//
// Deterministic: the same problem, seed, number of threads and rounds give
// the same layout; a time budget only decides how many rounds run.
#pragma once

#include "NestGeometry.h"

#include <atomic>
#include <cstdint>
#include <functional>

namespace NestSearch {

using NestGeometry::Coord;
using NestGeometry::Pt;

struct Item
{
    std::vector<int> shapes; // one per turn it may take, into the shapes
    double dArea = 0;
};

// Something that stays: a pinned piece, or the board round a hole.
struct Obstacle
{
    int nSheet = 0;
    int nShape = 0;
    Pt at;
};

struct Problem
{
    const NestGeometry::Shapes* pShapes = nullptr;
    std::vector<Item> items;
    std::vector<Obstacle> obstacles;
    Coord length = 0; // of a board, along x
    Coord height = 0; // across it
    int nMaxSheets = 1 << 20;
};

struct Place
{
    int nSheet = -1; // -1: not placed (no board takes it)
    int nTurn = 0;
    Pt at;
};

struct Layout
{
    std::vector<Place> places;
    // Boards before the last, whole, plus the last one's used length: what the search shortens.
    Coord total = 0;
};

struct Control
{
    double dSeconds = 10;      // for the search after the first layout
    int nRounds = 0;           // when above 0, exactly this many rounds, whatever the time
    std::uint64_t nSeed = 1;
    int nThreads = 1;
    // After each round, with the best layout so far; false ends the search.
    std::function<bool(const Layout& best, int nRound)> round;
    // Polled often while the first layout is built: true gives up.
    std::function<bool()> stop;
};

// The total a layout takes (see Layout::total).
Coord TotalOf(const Problem& problem, const std::vector<Place>& places);
// How far along its board what stays on sheet reaches: no layout ending on that board is shorter.
Coord StaysTo(const Problem& problem, int sheet);
// Pairs of items, or an item and an obstacle (as -1 - index), whose insides meet,
// or items that reach past their board.
std::vector<std::pair<int, int>> Offenders(const Problem& problem, const std::vector<Place>& places);
// First fit: each unplaced item, in the order given, on the first board that
// takes it, as far left (then as low) as it goes, or with bLowFirst as low
// (then as far left). Items already placed stay. False when stopped.
bool FirstFit(const Problem& problem, std::vector<Place>& places, const std::vector<int>& order, std::uint64_t nSeed,
              const std::function<bool(int nPlaced)>& placed = {}, bool bLowFirst = false);
// The search from a layout with every item placed; returns the best, and the rounds it ran.
Layout Search(const Problem& problem, const Layout& start, const Control& control, int* pRounds = nullptr);

} // namespace NestSearch
