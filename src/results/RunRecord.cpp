#include "RunRecord.h"

#include "platform/SystemNames.h"

RunRecord::RunRecord()
    : m_loginName(SystemNames::userName().value_or(noName())),
      m_computerName(SystemNames::computerName().value_or(noName()))
{
}
