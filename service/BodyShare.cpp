#include "BodyShare.h"

BodyShare& BodyShare::operator=(BodyShare&& other) noexcept {
    if (this != &other) {
        release();
        budget_ = std::exchange(other.budget_, nullptr);
        bytes_ = std::exchange(other.bytes_, 0);
    }
    return *this;
}

void BodyShare::take(Budget& budget, std::uint64_t bytes) {
    budget_ = &budget;
    bytes_ += bytes;
    budget.held += bytes;
}

void BodyShare::release() {
    if (!budget_) return;
    budget_->held -= bytes_;
    budget_->freed += bytes_;
    budget_ = nullptr;
    bytes_ = 0;
}
