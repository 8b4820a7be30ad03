#pragma once

#include "platform/EventPump.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace kx::platform {

class QtEventPump : public EventPump
{
public:
    void processPendingEvents() override
    {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
};

} // namespace kx::platform
