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
        LogWriter writer;
        writer.logFolder = writer.passLogFolder = QString::fromLocal8Bit(argv[3]);
        writer.logName = QStringLiteral("pelko.log");
        writer.passLogName = QStringLiteral("pksub.log");
        writer.userId = QStringLiteral("A001");
        writer.userName = QStringLiteral("上限");
        writer.fileName = QStringLiteral("jpn_dat.1");
        // Every column twice: a pass line longer than the main record.
        writer.columnCodes = QStringLiteral("0123456789ABCDEF0123456789ABCDEF");
        return writer.write(std::strcmp(argv[4], "1") == 0);
    }
    if (argc == 5 && std::strcmp(argv[1], "append") == 0) {
        const int count = std::atoi(argv[4]);
        for (int i = 0; i < count; ++i) {
            LogWriter writer;
            writer.logFolder = QString::fromLocal8Bit(argv[2]);
            writer.logName = QString::fromLocal8Bit(argv[3]);
            writer.userId = QStringLiteral("P%1").arg(::getpid());
            writer.userName = QStringLiteral("並行");
            writer.charsPerMinute = float(i);
            if (writer.write(false) != 0)
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
