#include "clsUser.h"

#include "platform/SystemNames.h"

clsUser::clsUser()
    : m_PC_UserID(SystemNames::userName().value_or(noName())),
      m_PC_NAME(SystemNames::computerName().value_or(noName()))
{
}
