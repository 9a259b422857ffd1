#pragma once

#include "link/replytimer.h"

// A reply timer the test fires by hand; like the real one it expires only while running.
class ManualReplyTimer final : public ReplyTimer
{
    Q_OBJECT
public:
    int starts = 0;

    void start() override
    {
        m_active = true;
        ++starts;
    }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    void fire()
    {
        if (m_active)
            emit expired();
    }

private:
    bool m_active = false;
};
