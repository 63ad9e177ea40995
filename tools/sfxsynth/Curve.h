#pragma once
#include <vector>

// Curve: a value over time given by breakpoints (seconds, value). Before the
// first point it holds the first value, after the last point the last value.
// Between points it moves linearly, or geometrically when `exponential` is set
// and both neighbours are positive (the natural way for pitch and cutoff to
// glide). An empty curve is the constant `fallback`.
class Curve {
public:
    struct Point {
        double time;   // seconds from the start of the voice
        double value;  // unit depends on the user (Hz, ratio, gain)
    };

    Curve() = default;
    explicit Curve(double constant);
    Curve(std::vector<Point> points, bool exponential);

    bool empty() const { return points_.empty(); }
    bool isConstant() const { return points_.size() <= 1; }
    double at(double time) const;
    double lastTime() const;

    // Cursor-based evaluation for per-sample use: times must not decrease
    // between calls on one cursor.
    double atSequential(double time, std::size_t& cursor) const;

private:
    double between(const Point& a, const Point& b, double time) const;

    std::vector<Point> points_;
    bool exponential_ = false;
};
