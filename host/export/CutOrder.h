// The order a laser takes a sheet's outlines in, which every export writes:
// engraving first (the board still lies flat and whole), then the cuts from
// the inside out, an outline after every outline inside it, so that nothing
// drops or shifts before the cuts inside it are made. Among the outlines
// that may go next, the one that starts nearest to where the beam stopped:
// a greedy tour from the sheet's corner.
#pragma once

#include "Outline.h"

Outlines CutOrdered(const Outlines& sheet);
// How far the beam travels off, in millimetres: from the sheet's corner
// (0, 0) to each subpath's start from where the last one ended, in the
// order given.
double TravelMm(const Outlines& sheet);
