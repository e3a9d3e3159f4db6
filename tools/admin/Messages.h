#pragma once
// The texts tarvik-admin shows, side by side. Unlike the program's other texts they are UTF-8,
// as the terminal and JSON want them; each "%s" is filled by Fill (tools/admin/Text.h).

namespace tarvik::admin_messages {

// The program and its subcommands, for --help.
inline constexpr const char* kProgram = "Sets up, checks and runs a Tarvik branch workstation.";
inline constexpr const char* kInitHelp =
    "Write %s and %s into DIR. The passwords are read without echo from the terminal, or else the main password "
    "from the first line of standard input and the identification password from the second.";
inline constexpr const char* kInitDirectoryHelp = "Directory of the settings files (beside tarvik)";
inline constexpr const char* kForceHelp = "Replace files that exist already";
inline constexpr const char* kIfChangedHelp =
    "Compare what the files hold (the passwords deciphered) with what is asked, and write them only when something "
    "differs: status 0 when nothing did (nothing written), 3 when they were written; the keys that changed are "
    "named, never their values";
inline constexpr const char* kHostHelp = "Main database server ([ip] local)";
inline constexpr const char* kUserHelp = "Main connection's account ([ip] usuario; root when not given)";
inline constexpr const char* kPortHelp = "Main connection's port ([ip] porta; 3306 when not given)";
inline constexpr const char* kTlsModeHelp =
    "TLS of both connections: required (encrypted) or verify (encrypted, the server's certificate and name "
    "verified); verify when only files are given; none when nothing is ([ip] tls)";
inline constexpr const char* kTlsCaHelp = "CA certificate (PEM) the server's certificate is verified against ([ip] tls_ca)";
inline constexpr const char* kTlsCertHelp = "Client certificate (PEM), for servers that ask for one ([ip] tls_cert)";
inline constexpr const char* kTlsKeyHelp = "The client certificate's private key (PEM) ([ip] tls_key)";
inline constexpr const char* kIdPortHelp = "Identification connection's port (Porta; 3306 when not given)";
inline constexpr const char* kIdTlsHelp =
    "The identification connection's own TLS (Tls, TlsCa, TlsCert, TlsKey), when it differs from --tls-*";
inline constexpr const char* kDatabaseHelp = "Main database ([ip] database)";
inline constexpr const char* kBranchHelp = "Logical branch number N ([FilialMatriz] CodLogica)";
inline constexpr const char* kUseLogicalBranchHelp =
    "Take the store code from --branch, not from the server's identification record";
inline constexpr const char* kIdHostHelp = "Identification server (%s DatabaseIP)";
inline constexpr const char* kIdDatabaseHelp = "Identification database (Databasename)";
inline constexpr const char* kIdUserHelp = "Identification user (Usuario)";
inline constexpr const char* kMacHelp = "Informational: MacAdress";
inline constexpr const char* kCodFisicaHelp = "Informational: CodFisica";
inline constexpr const char* kNameHelp = "Informational: Name";
inline constexpr const char* kCnpjHelp = "Informational: Cnpj";
inline constexpr const char* kOwnerHelp =
    "Give both files to USER (name or number), the account that runs tarvik; they are readable by their owner only";
inline constexpr const char* kShowHelp =
    "Print every value of DIR's settings files as the program reads it, with a warning for each value that reads "
    "differently from how it looks";
inline constexpr const char* kDirectoryHelp = "Directory of the settings files";
inline constexpr const char* kJsonHelp = "Print JSON";
inline constexpr const char* kRevealHelp = "Print the passwords instead of masking them";
inline constexpr const char* kCheckHelp =
    "Open both connections as the program does, only read, and tell whether a run would succeed and how many rows "
    "it would insert. Exit status 0: it would; 1: it would not (reasons printed); 2: the check could not be made";
inline constexpr const char* kCheckTableHelp = "Check only this target table (%s or %s)";
inline constexpr const char* kRunHelp =
    "Run the generation as the window's \"Iniciar\" does, with DIR's settings files: the same probes and INSERTs, "
    "sent in flights (many to one text; --one-at-a-time for the window's sequence). Exit status 1 when the run "
    "stops with an error (rows inserted before it stay), 75 when another run for the same branch and table holds "
    "the run lock (nothing is done; try again when it has finished), 130 when Ctrl-C stopped it after the flight "
    "in progress, 143 when SIGTERM did (on Windows: Ctrl-Break, or the console closed)";
inline constexpr const char* kScheduleHelp =
    "Register the nightly run of a table with DIR's settings files as a scheduled task (\\Tarvik\\TABLE), under "
    "the account that owns the settings files, without storing its password";
inline constexpr const char* kAtHelp = "Time of day of the run (up to 30 minutes later), local time";
inline constexpr const char* kScheduleUserHelp = "Run the task as ACCOUNT instead of the settings file's owner";
inline constexpr const char* kScheduleRemoveHelp = "Remove the table's task instead";
inline constexpr const char* kBadTimeOfDay = "--at %s: a time of day HH:MM, such as 02:30";
inline constexpr const char* kNoSettingsToSchedule = "%s does not exist: write the settings first (init)";
inline constexpr const char* kTaskRegistered = "registered %s: every night at %s, as %s\n";
inline constexpr const char* kLoggedOnUser = "the user logged on";
inline constexpr const char* kTaskRemoved = "removed %s\n";
inline constexpr const char* kNoTask = "no task %s to remove\n";
inline constexpr const char* kRunJsonHelp =
    "Print one JSON document on standard output, whatever happens: the result (done, busy, interrupted, failed), the "
    "counts, the lock, and on failure the error's kind, number, SQLSTATE, message and product";
inline constexpr const char* kWaitForLockHelp =
    "Wait up to SECONDS for another run of the same branch and table to give the run lock back, instead of ending "
    "with status 75 at once";
inline constexpr const char* kIfMissingHelp =
    "Count the missing rows first (one statement) and end at once, status 0, when none is missing";
inline constexpr const char* kRecordHelp =
    "Also write the JSON document to FILE (all or nothing, replacing it), for collection after unattended runs";
inline constexpr const char* kOneAtATimeHelp = "Send the window's sequence, one statement at a time, instead of flights";
inline constexpr const char* kFlightSizeHelp =
    "Products per flight: their probes go to the server in one text, and the INSERTs of those missing at the head of "
    "the next (also bounded by the server's max_allowed_packet)";
inline constexpr const char* kRunTableHelp = "Target table: %s or %s";
inline constexpr const char* kQuietHelp = "No progress display and no completion message";
inline constexpr const char* kEncipherHelp = "Print the stored form of the password on standard input, for [ip] senha";

// How a command that failed ends.
inline constexpr const char* kFailed = "tarvik-admin: %s\n";
inline constexpr const char* kUnknownFailure = "tarvik-admin: an unknown error ended the command\n";

// Usage faults.
inline constexpr const char* kNoDirectory = "%s: no such directory";
inline constexpr const char* kBadOwner = "--owner: %s";
inline constexpr const char* kCannotWrite = "%s: cannot write: %s";
inline constexpr const char* kBadTable = "--table %s: %s or %s";
inline constexpr const char* kNoPasswordOnLine = "standard input: no %s on line %s";
inline constexpr const char* kNoPasswordGiven = "no %s given";
inline constexpr const char* kPasswordsDiffer = "the two entries of the %s differ";

inline constexpr const char* kPassword = "password";

// Prompts.
inline constexpr const char* kPasswordPrompt = "Password: ";
inline constexpr const char* kAgainPrompt = "Again: ";

// init.
inline constexpr const char* kMainPassword = "password of the main connection";
inline constexpr const char* kIdentificationPassword = "password of the identification connection";
inline constexpr const char* kMainPasswordPrompt = "Password of %s@%s: ";
inline constexpr const char* kEmptyOption = "%s: an empty value is no value";
inline constexpr const char* kBadPort = "%s %s: a port is 1 to 65535";
inline constexpr const char* kBadTlsMode = "%s %s: the modes are required and verify";
inline constexpr const char* kNoSuchTlsFile = "%s %s: no such file";
inline constexpr const char* kCertWithoutKey = "%s and %s go together: a client certificate needs its key";
inline constexpr const char* kIdentificationPasswordPrompt = "Password of %s@%s (identification): ";
inline constexpr const char* kIdentificationPasswordOption = "the identification password";
inline constexpr const char* kMainPasswordOption = "the main connection's password";
inline constexpr const char* kCannotStore = "%s %s cannot be stored in %s: the program would read %s";
inline constexpr const char* kTooLongForConnection = "%s has %s characters: the connection takes at most %s";
inline constexpr const char* kBranchBelowOne = "--branch %s: a branch number is 1 or more";
inline constexpr const char* kBranchWithoutStoreCode = "--branch %s: %s";
inline constexpr const char* kPasswordCannotBeStored =
    "the main connection's password cannot be stored in %s senha: it would not decipher to the same text (too "
    "long, or holding a byte 0 or 255)";
inline constexpr const char* kConfValueTooLong = "%s: the value is too long to be stored in %s [%s] %s";
inline constexpr const char* kIdentificationOptionsNeeded =
    "--id-host, --id-database and --id-user are needed: without --use-logical-branch the store code comes from "
    "the identification connection";
inline constexpr const char* kFileExists = "%s exists; give --force to replace it";
inline constexpr const char* kWrote = "wrote %s\n";
inline constexpr const char* kUnchanged = "unchanged: %s and %s hold these values already\n";
inline constexpr const char* kChangedKey = "changed: %s\n";

// show: the warnings.
inline constexpr const char* kNoSettingsFile = "no such file: every value is its default";
inline constexpr const char* kEmptyLocal = "empty: the client library's default server is used";
inline constexpr const char* kNotCipherTextRevealed = "%s is not cipher text (%s)";
inline constexpr const char* kNotCipherText = "the value is not cipher text";
inline constexpr const char* kPasswordKept = "%s: the window reports this at start-up and keeps its built-in password";
inline constexpr const char* kDefaultPassword = "missing: the built-in default password is used";
inline constexpr const char* kNotAWholeNumber = "%s is not a whole number: it reads as 0 (filial_id 0 in every row)";
inline constexpr const char* kReadsAs = "%s reads as %s";
inline constexpr const char* kStoreCodeFromServer =
    "%s is not \"1\": the store code comes from the server's identification record";
inline constexpr const char* kStoreCodeOfAnotherBranch =
    "the store code is that of branch %s, while the rows get filial_id %s";
inline constexpr const char* kNoStoreCodeEveryRunStops = "no store code, every run that inserts stops with: %s";
inline constexpr const char* kNoConnectionFileNotNeeded = "no such file (not needed while usa_fislogica is \"1\")";
inline constexpr const char* kNoConnectionFile =
    "no such file: the identification connection has no server, database, user or password";
inline constexpr const char* kOddHexDigits = "an odd number of hex digits: the last one is ignored";
inline constexpr const char* kDecodesToNoInteger = "decodes to %s, which reads as 0";
inline constexpr const char* kSecretValue = "the value";
inline constexpr const char* kNotHex = "%s is not hex: it reads as %s";
inline constexpr const char* kReadsAsZero = "0";
inline constexpr const char* kReadsAsEmpty = "empty";
inline constexpr const char* kLocalhostReplaced =
    "\"localhost\" is replaced by this machine's own address (looked up at each connection), and the lookup leaves "
    "an empty iphist.dat in the working directory";
inline constexpr const char* kNotAPort = "%s is not a port (1 to 65535): every connection of this link stops there";
inline constexpr const char* kUnknownTlsModeShown =
    "not a TLS mode (required or verify, or empty for none): every connection of this link stops there";

// show: the printed report.
inline constexpr const char* kMask = "********";
inline constexpr const char* kShownFile = "%s (%s%s)\n";
inline constexpr const char* kMissing = ", missing";
inline constexpr const char* kDefaultValue = "  (default)";
inline constexpr const char* kLogicalBranch = "logical branch number (filial_id of the rows): %s\n";
inline constexpr const char* kStoreCodeFromFileShown = "store code: from %s (usa_fislogica is \"1\"), branch %s: ";
inline constexpr const char* kNoStoreCodeShown = "none (%s)\n";
inline constexpr const char* kStoreCodeFromServerShown =
    "store code: from the server's identification record (tarvik-admin check reads it)\n";
inline constexpr const char* kNoWarnings = "no warnings\n";
inline constexpr const char* kWarnings = "warnings:\n";
inline constexpr const char* kWarningShown = "  %s: %s\n";

// check: the reasons a run would not succeed, and the notes.
inline constexpr const char* kPasswordUnusable = "%s [%s] %s: %s (the window shows this at start-up and cannot log in)";
inline constexpr const char* kMainConnectionFailed = "main connection %s@%s, database %s: %s";
inline constexpr const char* kNoColumn = "%s has no column %s";
inline constexpr const char* kTableFailed = "%s: %s";
inline constexpr const char* kRunStopsWith = "a run stops at the first missing row with: %s";
inline constexpr const char* kStoreCodeNotNeeded = "no store code (%s), but no run inserts a row now, so none needs it";
inline constexpr const char* kGeneratedColumn = "%s.%s is a generated column: the run cannot set it";
inline constexpr const char* kNotACharColumn = "%s.%s is %s, not a char or varchar column";
inline constexpr const char* kColumn = "%s.%s (%s)";
inline constexpr const char* kEmptyValue =
    "%s.%s is NOT NULL without a default: each row gets the empty value (0, '' or the zero date)";
inline constexpr const char* kImplicitDefault =
    "%s is NOT NULL without a default: the server gives each row its implicit default";
inline constexpr const char* kRefusedLeftOut =
    "%s is NOT NULL without a default and the run %s: the strict sql_mode refuses every insert";
inline constexpr const char* kNameMayBeLost =
    "leaves it out (its name may hold characters the latin1 link cannot carry)";
inline constexpr const char* kTypeNotWritten = "cannot write its type";
inline constexpr const char* kRefusedZeroDate =
    "%s is NOT NULL without a default: the strict sql_mode with NO_ZERO_DATE refuses the zero date a run gives it";
inline constexpr const char* kRefusedEmptyJson =
    "%s is a NOT NULL JSON column without a default: the empty text a run gives it is no JSON, so the server "
    "refuses every insert";

// check: the printed report.
inline constexpr const char* kCannotCheck = "tarvik-admin: cannot check: %s\n";
inline constexpr const char* kMainConnectionShown = "main connection: %s@%s, database %s\n";
inline constexpr const char* kServerShown = "  server %s, sql_mode \"%s\" (strict: %s, NO_BACKSLASH_ESCAPES: %s)\n";
inline constexpr const char* kYes = "yes";
inline constexpr const char* kNo = "no";
inline constexpr const char* kIdentificationShown = "identification connection: %s@%s, database %s\n";
inline constexpr const char* kInClearShown = "  in clear (no TLS)\n";
inline constexpr const char* kTlsShown = "  encrypted: %s, cipher %s, server certificate %s\n";
inline constexpr const char* kVerified = "verified";
inline constexpr const char* kNotTold = "(not told)";
inline constexpr const char* kNotVerified = "not verified";
inline constexpr const char* kMainLink = "the main connection";
inline constexpr const char* kIdentificationLink = "the identification connection";
inline constexpr const char* kLinkNotAsAsked = "%s asks for TLS (%s) and is not so";
inline constexpr const char* kRecordShown = "  record: filial_id %s, cnpj_servidor \"%s\", tipo_servidor \"%s\"\n";
inline constexpr const char* kRecordFailedShown = "  record: %s\n";
inline constexpr const char* kBranchShown = "branch: filial_id %s (CodLogica); store code from %s";
inline constexpr const char* kServerRecord = "the server's record";
inline constexpr const char* kStoreCodeShown = ": branch %s, code \"%s\"";
inline constexpr const char* kTableCountedShown = "%s: %s products, %s rows to insert\n";
inline constexpr const char* kRoundTripShown = "  round trip %s ms (median of %s pings)\n";
inline constexpr const char* kEstimateShown =
    "  a run would take about %s in the window, %s with tarvik-admin run (in flights)\n";
inline constexpr const char* kRunLockHeldShown = "  run lock %s held by connection %s\n";
// A run holds the table's run lock for this branch now.
inline constexpr const char* kRunLockHeld =
    "%s: a run holds the run lock %s now (connection %s): a run started now would be refused until that one ends";
inline constexpr const char* kTableFailedShown = "%s: %s\n";
inline constexpr const char* kTableNotCountedShown = "%s: not counted\n";
inline constexpr const char* kNoteShown = "note: %s\n";
inline constexpr const char* kRunWouldSucceed = "a run would succeed\n";
inline constexpr const char* kRunWouldNotSucceed = "a run would not succeed:\n";
inline constexpr const char* kProblemShown = "  %s\n";

// run.
inline constexpr const char* kProgress = "%s of %s products (%s%)";
inline constexpr const char* kRate = ", %s/s";
inline constexpr const char* kTimeLeft = ", about %s left";
inline constexpr const char* kRowsInserted = "%s rows inserted into %s\n";
inline constexpr const char* kRowsStay = "%s rows inserted into %s before the error; they stay\n";
inline constexpr const char* kRowsStayLastUnknown =
    "%s rows inserted into %s before the error; they stay. The connection was lost during the next insert: "
    "whether the server stored that row is unknown\n";
inline constexpr const char* kRowsStayFlightUnknown =
    "%s rows inserted into %s before the error; they stay. The last flight's answers were lost or did not match "
    "its statements: what the server did from produto_id %s on is unknown, and so is whether it stored the "
    "flight's %s unanswered inserts\n";
inline constexpr const char* kRowsStayInterrupted = "%s rows inserted into %s before the interruption; they stay\n";
inline constexpr const char* kBadCount = "the server counted the missing rows as %s";
inline constexpr const char* kNothingMissing = "nothing missing in %s: each of the %s products has its row\n";
inline constexpr const char* kRecordFailed = "tarvik-admin: the run's record was not written: %s\n";

}  // namespace tarvik::admin_messages
