#pragma once

#include "MessageService.h"

// Message boxes on screen.
class QtMessageService : public MessageService {
public:
    MsgAnswer show(const QString& text, const QString& title, MsgButtons buttons,
                   MsgIcon icon) override;
};
