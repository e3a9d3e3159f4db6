#pragma once
// The server identification record: the row of `identificacao_servidor` that tells which
// branch the database's own server belongs to, read once through the identification connection.

#include <cstdint>
#include <string>

namespace tarvik {

class TIdentificacaoServidor {
public:
    int32_t GetFilialServidor() const { return filial_id_; }
    const std::string& GetCnpjServidor() const { return cnpj_servidor_; }
    double GetDataIdentificacao() const { return data_identificacao_; }  // days since 1899-12-30
    const std::string& GetTipoServidor() const { return tipo_servidor_; }
    const std::string& GetHashIdentificacao() const { return hash_identificacao_; }

    // Fills the record from the first row of the table. Every failure is raised as one
    // Exception under the heading "Falha ao carregar dados de identificação do servidor.";
    // a failed load leaves the record as it was.
    void LoadIdentificacao();

    static std::string SelectIdentificacaoSQL();

private:
    int32_t filial_id_ = 0;
    std::string cnpj_servidor_;
    double data_identificacao_ = 0.0;
    std::string tipo_servidor_;
    std::string hash_identificacao_;
};

// The process-wide record, loaded on first use. When the load fails the record is dropped
// again, so that a later call loads afresh instead of answering from a half-read row.
TIdentificacaoServidor& GetIdentificacaoServidor();

// Forgets the record, so the next GetIdentificacaoServidor loads again (tests, benchmarks).
void ReleaseIdentificacaoServidor();

}  // namespace tarvik
