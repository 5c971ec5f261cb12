#include "filter/TOadvCloud.h"

TOadvCloud::TOadvCloud(QWidget* parent) : TOclouds(parent) {
    setObjectName("OClouds1");
}

bool TOadvCloud::CanApply() const {
    return Active() && PinCount() > 0 && CircleCount() > 0;
}
