#pragma once
// The generation run in flights, for tarvik-admin run: the same probes and the same INSERTs as
// the window's run, made by the same code, but sent many to a text. One text carries the probes
// of up to `products` products; the INSERTs of those whose probe came back empty, each its own
// autocommitted statement, in the products' order, go at the head of the next text, ahead of
// the next flight's probes (the last flight's go alone): a round trip per flight. Over a link
// with a round trip of some milliseconds this is what makes a branch take seconds instead of an
// hour. The probes' per-product SHOW COLUMNS and SHOW INDEX are left out: their answers
// never shape an insert (the insert's layout is learned once, when QInclui opens). The branch
// number and store code are read once per flight, not for every product.
//
// The rows are those of the one-at-a-time run in every case: a product that produto lists
// twice waits for the next flight, after the first one's INSERT; an INSERT the server refuses
// stops the run there, with the products before it stored and none after; an error in making a
// product's row (its number, its store code) sends the rows before it first. A stop asked for
// between flights leaves the INSERTs of the flight just probed unsent: nothing of it is written.

#include <cstddef>
#include <functional>
#include <string>

#include "db/DbConnection.h"
#include "db/DbQuery.h"
#include "platform/Errors.h"
#include "run/GenerationRun.h"

namespace tarvik {

struct TFlightLimits {
    size_t products = 500;  // at most this many probes (and so INSERTs) in one text
    // At most this many bytes in one text; 0: a quarter of the server's max_allowed_packet, at
    // most 1 MiB. A single statement longer than that still goes, alone.
    size_t bytes = 0;
};

// An INSERT of a flight that the server refused: carries its product.
class EFlightInsertRefused : public EInsertRefused {
public:
    EFlightInsertRefused(std::string message, unsigned errorNumber, std::string sqlState, std::string product)
        : EInsertRefused(std::move(message), errorNumber, std::move(sqlState)), product_(std::move(product)) {}
    const std::string& Product() const noexcept { return product_; }

private:
    std::string product_;
};

// The answers of a flight were lost (the link broke or went quiet) or were not those of its
// statements: what the server did with the statements from one product on is unknown, and the
// link is closed. Carries the number of INSERTs among them (they may or may not be stored) and
// that first product.
class EFlightOutcomeUnknown : public EStatementOutcomeUnknown {
public:
    EFlightOutcomeUnknown(std::string message, unsigned errorNumber, size_t unanswered, std::string product)
        : EStatementOutcomeUnknown(std::move(message), errorNumber), unanswered_(unanswered),
          product_(std::move(product)) {}
    size_t Unanswered() const noexcept { return unanswered_; }
    const std::string& Product() const noexcept { return product_; }

private:
    size_t unanswered_;
    std::string product_;
};

// The run in flights. Needs a link that allows multi-statements (TDbConnection::
// SetMultiStatements before it opens). `finished` as in RunGeneration.
void RunGenerationInFlights(TRunView& view, const std::string& table, TDbTransaction& link, TDbQuery& produtos,
                            TDbQuery& inclui, const TBranchIdentity& branch, const TFlightLimits& limits,
                            const std::function<void()>& finished = {});

}  // namespace tarvik
