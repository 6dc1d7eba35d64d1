#include "widgets/day_and_night.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>
#include <utility>
#include <vector>

namespace widgets {

namespace {

class DayAndNightFollower;

// Every follower alive, on the one thread that has widgets.
std::vector<DayAndNightFollower*> followers;

class DayAndNightFollower : public QObject {
public:
    DayAndNightFollower(QWidget* widget, std::function<void(bool)> apply)
        : QObject(widget)
        , apply_(std::move(apply))
        , night_(isNight()) {
        apply_(night_);
        followers.push_back(this);
    }
    ~DayAndNightFollower() override { std::erase(followers, this); }

    void follow(bool night) {
        if (night != night_) {
            night_ = night;
            apply_(night_);
        }
    }

private:
    std::function<void(bool)> apply_;
    bool night_;
};

} // namespace

bool isNight() {
    return QApplication::palette().color(QPalette::Window).lightness() < 128;
}

void followDayAndNight(QWidget* widget, std::function<void(bool night)> apply) {
    new DayAndNightFollower(widget, std::move(apply));
}

void announceDayOrNight() {
    const bool night = isNight();
    // A copy: applying colours may make or end followers.
    const std::vector<DayAndNightFollower*> now = followers;
    for (DayAndNightFollower* follower : now)
        if (std::find(followers.begin(), followers.end(), follower) != followers.end())
            follower->follow(night);
}

} // namespace widgets
