#include "Curve.h"

#include <cmath>

Curve::Curve(double constant) : points_{{0.0, constant}} {}

Curve::Curve(std::vector<Point> points, bool exponential) : points_(std::move(points)), exponential_(exponential) {}

double Curve::lastTime() const { return points_.empty() ? 0.0 : points_.back().time; }

double Curve::at(double time) const {
    std::size_t cursor = 0;
    return atSequential(time, cursor);
}

double Curve::atSequential(double time, std::size_t& cursor) const {
    if (points_.empty()) return 0.0;
    if (time <= points_.front().time) return points_.front().value;
    if (time >= points_.back().time) return points_.back().value;
    while (cursor + 1 < points_.size() && points_[cursor + 1].time <= time) ++cursor;
    return between(points_[cursor], points_[cursor + 1], time);
}

double Curve::between(const Point& a, const Point& b, double time) const {
    const double span = b.time - a.time;
    if (span <= 0.0) return b.value;
    const double f = (time - a.time) / span;
    if (exponential_ && a.value > 0.0 && b.value > 0.0) return a.value * std::pow(b.value / a.value, f);
    return a.value + (b.value - a.value) * f;
}
