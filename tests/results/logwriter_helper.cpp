// Helper process for the log writer tests.
//   logwriter_helper append <folder> <name> <count>   appends count records, exit 0 if all worked
//   logwriter_helper hold <path>                      locks the file, prints "locked", waits
//                                                     for its input to close
//   logwriter_helper limited <bytes> <folder> <pass>  starts as the program does, then writes
//                                                     one record to pelko.log (and pksub.log
//                                                     when pass is 1) under a file-size limit;
//                                                     exits with what write() returned
#include "platform/FileSystem.h"
#include "results/LogWriter.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "limited") == 0) {
        FileSystem::failWritesPastSizeLimit();
        struct rlimit limit {
        };
        if (::getrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 4;
        limit.rlim_cur = rlim_t(std::atoll(argv[2]));
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 4;
        RunResult run;
        run.userId = QStringLiteral("A001");
        run.userName = QStringLiteral("上限");
        run.fileName = QStringLiteral("jpn_dat.1");
        const QString folder = QString::fromLocal8Bit(argv[3]);
        // Every column twice: a pass line longer than the main record.
        LogWriter writer(run,
                         {folder, QStringLiteral("pelko.log"), folder, QStringLiteral("pksub.log"),
                          QStringLiteral("0123456789ABCDEF0123456789ABCDEF")});
        return writer.write(std::strcmp(argv[4], "1") == 0) ? 0 : 1;
    }
    if (argc == 5 && std::strcmp(argv[1], "append") == 0) {
        const int count = std::atoi(argv[4]);
        for (int i = 0; i < count; ++i) {
            RunResult run;
            run.userId = QStringLiteral("P%1").arg(::getpid());
            run.userName = QStringLiteral("並行");
            run.charsPerMinute = float(i);
            LogWriter writer(run,
                             {QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3])});
            if (!writer.write(false))
                return 1;
        }
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "hold") == 0) {
        const int fd = ::open(argv[2], O_RDWR | O_CREAT, 0666);
        struct flock lock {
        };
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        if (fd < 0 || ::fcntl(fd, F_SETLKW, &lock) != 0)
            return 2;
        std::printf("locked\n");
        std::fflush(stdout);
        char c;
        while (::read(0, &c, 1) > 0) {
        }
        return 0;
    }
    return 3;
}
