// quillbridge-service: the reference Quillbridge service and its command line.

#include <cstdio>
#include <cstring>
#include <functional>
#include <exception>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "service/ClientCommands.h"
#include "service/CommandLine.h"
#include "service/ServeCommand.h"
#include "service/ServiceOptions.h"
#include "service/StoreCommands.h"

namespace {

constexpr char kUsage[] = R"(usage: quillbridge-service COMMAND [ARGUMENTS] [--name NAME]

The service
  serve [--db PATH] [--debug-log PATH] [--service-version X.Y.Z] [--core-version X.Y.Z] [--verbose]
      Runs the service in the foreground until SIGINT or SIGTERM.

Writing the logs (also while the service runs)
  log --level LEVEL --source SOURCE [--description TEXT | TEXT] [--status N] [--time TIME | --filetime N]
      [--number N | --text TEXT | --hex HEX | --file PATH] [--kind N] [--db PATH]
      LEVEL: fatal, error, warning, info or a number; SOURCE: engine, gui, service, driver or a number;
      TIME: 2026-12-07T14:05:09Z (UTC) or now (the default).
  import FILE|- [--db PATH]      JSON lines, one record a line; a file with a bad line is refused whole
  demo N [--seed S] [--db PATH]  N realistic records over the last 45 days
  debug-log append TEXT [--debug-log PATH]

Asking the running service (as the viewer does)
  status                         exit code 0 when running, 3 when not
  versions
  info [--kind quillbridge|debug]
  read POS [--count N]           records from number POS (50 unless --count says otherwise)
  debug-path
  clear quillbridge|debug
  These take --json for output that scripts read, and --timeout MS for how long to wait for the
  channel and for the answer (120000 each).

Defaults: --name MARROWIND_Quillbridge; the logs in $XDG_STATE_HOME/quillbridge
(~/.local/state/quillbridge), /var/lib/quillbridge for root.
Exit codes: 0 done, 1 failed, 2 bad usage, 3 the service is not running, 4 already running.
)";

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || !std::strcmp(argv[1], "help") || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? kExitUsage : kExitOk;
    }
    const std::map<std::string, std::function<int(CommandLine&)>> commands = {
        {"serve", &ServeCommand::Run},
        {"log", &StoreCommands::Log},
        {"import", &StoreCommands::Import},
        {"demo", &StoreCommands::Demo},
        {"debug-log", &StoreCommands::DebugLogAppend},
        {"status", &ClientCommands::Status},
        {"versions", &ClientCommands::Versions},
        {"info", &ClientCommands::Info},
        {"read", &ClientCommands::Read},
        {"debug-path", &ClientCommands::DebugPath},
        {"clear", &ClientCommands::Clear},
    };
    auto command = commands.find(argv[1]);
    if (command == commands.end())
        return ServiceOptions::Fail(
            std::string("unknown command \"") + argv[1] + "\" (quillbridge-service help lists them)", kExitUsage);
    CommandLine args(std::vector<std::string>(argv + 2, argv + argc));
    args.Value("name");  // every command takes it; those that write the files have no use for it
    try {
        return command->second(args);
    } catch (const std::bad_alloc&) {
        return ServiceOptions::Fail("out of memory", kExitError);
    } catch (const std::exception& e) {
        return ServiceOptions::Fail(std::string("failed: ") + e.what(), kExitError);
    }
}
