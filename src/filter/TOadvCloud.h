// The condition diagram as the filter dialog embeds it.
#pragma once

#include "filter/TOclouds.h"

class TOadvCloud : public TOclouds {
    Q_OBJECT
public:
    explicit TOadvCloud(QWidget* parent = nullptr);

    // A filter can be made: active, with at least one circle and one pin.
    bool CanApply() const;
};
