#pragma once
// What the run says: the completion message and why a run did not start. Windows-1252 byte strings, decoded only where a front end puts them on the
// screen.

namespace tarvik::run_messages {

inline constexpr const char* kRunFinished = "Processamento Concluido!";
// Branch number, table, the id of the connection that holds the run lock.
inline constexpr const char* kRunInProgress =
    "Uma gera\xE7\xE3o para a filial %d em %s j\xE1 est\xE1 em andamento (conex\xE3o %s). "
    "Tente novamente quando ela terminar.";
// Branch number, table, why the server would not take the run lock.
inline constexpr const char* kRunLockRefused =
    "N\xE3o foi poss\xEDvel reservar a gera\xE7\xE3o para a filial %d em %s: %s";
inline constexpr const char* kRunLockNoAnswer = "GET_LOCK returned NULL";
// The front end asked the run to stop (Ctrl-C in tarvik-admin).
inline constexpr const char* kRunStopped = "Gera\xE7\xE3o interrompida.";
// Query name, product number, the server's text: an INSERT of a flight refused, or the first
// product of a flight whose outcome is unknown (its answers lost or not those of its statements).
inline constexpr const char* kFlightInsertFailed = "%s (produto_id %s): %s";
// Query name, product number: the server answered a probe with no result at all.
inline constexpr const char* kProbeWithoutResult =
    "%s (produto_id %s): o servidor respondeu \xE0 consulta sem um resultado; nada foi gravado para este produto.";
// The product id, as produto gave it: it is written into the probe only as an integer.
inline constexpr const char* kProductIdNotInteger =
    "O produto_id '%s' n\xE3o \xE9 um n\xFAmero inteiro: a gera\xE7\xE3o parou antes de consult\xE1-lo.";
// The branch number the run's lock names, and the one sistema_qor.ini now gives.
inline constexpr const char* kBranchChanged =
    "O n\xFAmero da filial em sistema_qor.ini mudou durante a gera\xE7\xE3o (era %d, agora \xE9 %d): a "
    "gera\xE7\xE3o parou antes de gravar linhas de outra filial.";

}  // namespace tarvik::run_messages
