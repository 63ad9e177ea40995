#pragma once
// Bars that fill from their left end: a quad showing the left fraction of another.
class Quad;

// target's texture rectangle := the left fraction t (0..1) of source's, refreshed and
// anchored at the middle of its left edge, so the bar grows from its left end.
void copyQuadFraction(const Quad& source, Quad& target, float t);
