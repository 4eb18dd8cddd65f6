#include "Startup.h"

#include "frmLogo.h"
#include "frmSentaku.h"
#include "modPelko.h"
#include "common/PelkoError.h"
#include "platform/MessageService.h"
#include "platform/ProgramEnd.h"
#include "results/clsUser.h"
#include "settings/clsKankyo.h"
#include "settings/frmKankyo.h"

namespace {

void unexpectedEnding(int number, const QString& description)
{
    MsgBox(UnexpectedErrorText(number, description));
    objKankyo.reset();
    objUser.reset();
    EndProgram(1);
}

} // namespace

void Main()
{
    try {
        FillLogColumn();
        objKankyo = std::make_unique<clsKankyo>();
        objUser = std::make_unique<clsUser>();

        frmLogo::instance().showModal();
        if (!objKankyo || !objKankyo->LoadFlg())
            return;

        CreateDefaultLogFolder();
        CheckFolders([] { frmKankyo::instance().showModal(); });

        frmSentaku& menu = frmSentaku::instance();
        menu.Form_Load();
        menu.show();
    } catch (const PelkoError& e) {
        unexpectedEnding(e.number(), e.description());
    } catch (const std::exception& e) {
        unexpectedEnding(5, QString::fromLocal8Bit(e.what()));
    }
}
