#include "tools/admin/Admin.h"

#include <CLI/CLI.hpp>

#include <exception>
#include <ostream>

#include "platform/Errors.h"
#include "platform/HostLookup.h"
#include "tools/admin/CheckCommand.h"
#include "tools/admin/EncipherCommand.h"
#include "tools/admin/Failures.h"
#include "tools/admin/InitCommand.h"
#include "tools/admin/RunCommand.h"
#include "tools/admin/ShowCommand.h"
#include "tools/admin/Text.h"

namespace tarvik::admin {

namespace {

class TNoHistoryFile {
public:
    TNoHistoryFile() { SetHistoryFileLeft(false); }
    ~TNoHistoryFile() { SetHistoryFileLeft(true); }
    TNoHistoryFile(const TNoHistoryFile&) = delete;
    TNoHistoryFile& operator=(const TNoHistoryFile&) = delete;
};

}  // namespace

std::string Version() { return TARVIK_VERSION; }

int RunAdmin(const std::vector<std::string>& arguments, TConsole& console) {
    CLI::App app("Sets up, checks and runs a Tarvik branch workstation.", "tarvik-admin");
    app.set_version_flag("--version", "tarvik-admin " + Version());
    app.require_subcommand(1);
    app.fallthrough(false);

    TInitOptions init;
    CLI::App* initCommand = app.add_subcommand(
        "init", "Write sistema_qor.ini and connection.conf into DIR. The passwords are read without echo from "
                "the terminal, or else the main password from the first line of standard input and the "
                "identification password from the second.");
    initCommand->add_option("DIR", init.directory, "Directory of the settings files (beside tarvik)")->required();
    initCommand->add_flag("--force", init.force, "Replace files that exist already");
    initCommand->add_option("--host", init.host, "Main database server ([ip] local)")->required();
    initCommand->add_option("--database", init.database, "Main database ([ip] database)")->capture_default_str();
    initCommand->add_option("--branch", init.branch, "Logical branch number N ([FilialMatriz] CodLogica)")
        ->required();
    initCommand->add_flag("--use-logical-branch", init.useLogicalBranch,
                          "Take the store code from --branch, not from the server's identification record");
    initCommand->add_option("--id-host", init.idHost, "Identification server (connection.conf DatabaseIP)");
    initCommand->add_option("--id-database", init.idDatabase, "Identification database (Databasename)");
    initCommand->add_option("--id-user", init.idUser, "Identification user (Usuario)");
    initCommand->add_option("--mac", init.mac, "Informational: MacAdress");
    initCommand->add_option("--cod-fisica", init.codFisica, "Informational: CodFisica");
    initCommand->add_option("--name", init.name, "Informational: Name");
    initCommand->add_option("--cnpj", init.cnpj, "Informational: Cnpj");
    initCommand->add_option("--owner", init.owner,
                            "Give both files to USER (name or number), the account that runs tarvik; "
                            "they are readable by their owner only");

    TShowOptions show;
    CLI::App* showCommand = app.add_subcommand(
        "show", "Print every value of DIR's settings files as the program reads it, with a warning for each "
                "value that reads differently from how it looks");
    showCommand->add_option("DIR", show.directory, "Directory of the settings files")->required();
    showCommand->add_flag("--json", show.json, "Print JSON");
    showCommand->add_flag("--reveal", show.reveal, "Print the passwords instead of masking them");

    TCheckOptions check;
    CLI::App* checkCommand = app.add_subcommand(
        "check", "Open both connections as the program does, only read, and tell whether a run would succeed "
                 "and how many rows it would insert. Exit status 0: it would; 1: it would not (reasons "
                 "printed); 2: the check could not be made");
    checkCommand->add_option("DIR", check.directory, "Directory of the settings files")->required();
    checkCommand->add_flag("--json", check.json, "Print JSON");
    checkCommand->add_option("--table", check.table, "Check only this target table (estoque_minimo or estoque_minimo2)");

    TRunOptions run;
    CLI::App* runCommand = app.add_subcommand(
        "run", "Run the generation as the window's \"Iniciar\" does, with DIR's settings files: the same probes "
               "and INSERTs, sent in flights (many to one text; --one-at-a-time for the window's sequence). Exit "
               "status 1 when the run stops with an error (rows inserted before it stay), 75 when another run for "
               "the same branch and table holds the run lock (nothing is done; try again when it has finished), "
               "130 when Ctrl-C stopped it after the flight in progress");
    runCommand->add_option("DIR", run.directory, "Directory of the settings files")->required();
    runCommand->add_option("--table", run.table, "Target table: estoque_minimo or estoque_minimo2")->required();
    runCommand->add_flag("--quiet", run.quiet, "No progress display and no completion message");
    runCommand->add_flag("--one-at-a-time", run.oneAtATime,
                         "Send the window's sequence, one statement at a time, instead of flights");
    runCommand
        ->add_option("--flight-size", run.flightSize,
                     "Products per flight: their probes go to the server in one text, then the INSERTs of those "
                     "missing in another (also bounded by the server's max_allowed_packet)")
        ->capture_default_str()
        ->check(CLI::Range(1, 10000));

    CLI::App* encipherCommand = app.add_subcommand(
        "encipher", "Print the stored form of the password on standard input, for [ip] senha");

    std::vector<const char*> argv;
    for (const std::string& a : arguments) argv.push_back(a.c_str());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e, console.out, console.err);
        return status == 0 ? kExitDone : kExitCannotCheck;
    }

    try {
        if (*initCommand) return InitSettingsFiles(init, console);
        if (*showCommand) return ShowSettingsFiles(show, console);
        if (*checkCommand) {
            // check only reads: the address lookup of a "localhost" identification host leaves
            // no iphist.dat in the administrator's directory (the window and run still do).
            const TNoHistoryFile noHistoryFile;
            return CheckWorkstation(check, console);
        }
        if (*runCommand) return RunGenerationHeadless(run, console);
        if (*encipherCommand) return PrintEncipheredPassword(console);
    } catch (const EUsage& e) {
        // One line per fault, each saying whose it is.
        std::string message = e.what();
        size_t start = 0;
        while (start <= message.size()) {
            size_t end = message.find('\n', start);
            if (end == std::string::npos) end = message.size();
            console.err << "tarvik-admin: " << Utf8FromSystemText(message.substr(start, end - start)) << '\n';
            start = end + 1;
        }
        return kExitCannotCheck;
    } catch (const Exception& e) {
        console.err << "tarvik-admin: " << Utf8FromSystemText(e.Message()) << '\n';
        return kExitCannotCheck;
    } catch (const std::exception& e) {
        // Whatever else goes wrong still ends the command with its text and a status, never
        // with an abort that leaves a script nothing to read.
        console.err << "tarvik-admin: " << Utf8FromSystemText(e.what()) << '\n';
        return kExitCannotCheck;
    } catch (...) {
        console.err << "tarvik-admin: an unknown error ended the command\n";
        return kExitCannotCheck;
    }
    return kExitCannotCheck;
}

}  // namespace tarvik::admin
