#pragma once
#include <QString>

class QAbstractButton;

// What a configurator tab offers the order list: the window adds the row a
// tab hands over without knowing the tab's widgets or slots.
class OrderTab
{
public:
    virtual ~OrderTab() = default;

    struct Row
    {
        QString designation; // empty when the choice is incomplete
        QString quantity;    // as typed
        QString sizes;       // the gasket's dimensions joined by "*"
        QString description;
    };
    virtual Row offeredRow() const = 0;
    // Rebuilds designation and description (after the drawing changed).
    virtual void rebuildItem() = 0;
    // Clears the extra options after an add; the main choices stay.
    virtual void resetExtraOptions() = 0;
    virtual QAbstractButton *addButton() const = 0;
    virtual QAbstractButton *attachButton() const = 0;
};
