-- The tables of a branch database as the tests and the demo make them: the product list, the
-- run's two target tables and the server identification record's table, whose one record names
-- the server's branch 12 (store code "C"). A test that needs other columns or rows changes them
-- after this. The scripts load this file (scripts/lib.sh, make_branch_database); the C++ tests
-- have its text built in and split it where a line ends with ";" (tests/support/BranchTables.h).
CREATE TABLE produto (produto_id INT NOT NULL);
CREATE TABLE estoque_minimo (produto_id INT NOT NULL, filial_id INT NOT NULL, lojas_leram CHAR(1) NOT NULL);
-- The second target table has a key of its own, a wider store-code column and a NOT NULL
-- column without a default, which the run fills with its initial value.
CREATE TABLE estoque_minimo2 (id INT NOT NULL AUTO_INCREMENT PRIMARY KEY, produto_id INT NOT NULL,
  filial_id INT NOT NULL, lojas_leram VARCHAR(2) NOT NULL, quantidade INT NOT NULL);
CREATE TABLE identificacao_servidor (filial_id INT, cnpj_servidor VARCHAR(18), tipo_servidor VARCHAR(20),
  data_identificacao DATETIME, hash_identificacao VARCHAR(64));
INSERT INTO identificacao_servidor VALUES (12, '12.345.678/0012-90', 'FILIAL', '2024-05-06 07:08:09', 'h');
