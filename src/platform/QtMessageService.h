#pragma once

#include "MessageService.h"

// Message boxes on screen.
class QtMessageService : public MessageService {
public:
    MessageAnswer show(const QString& text, const QString& title, MessageButtons buttons,
                       MessageIcon icon) override;
};
