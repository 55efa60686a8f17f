-- Creates the register's database on a PostgreSQL server (12 or later) and
-- the role the clerks' registers log in with. Run once, as the server's
-- superuser, for example:
--
--   psql -h <server> -U postgres -v clerk_password='<password>' -f create_register.sql
--
-- The names default to quorva (database) and quorva_clerk (role); give
-- -v database=<name> or -v clerk=<name> for others. The register creates its
-- tables itself the first time it connects.
\set ON_ERROR_STOP on
\if :{?database}
\else
\set database quorva
\endif
\if :{?clerk}
\else
\set clerk quorva_clerk
\endif

CREATE ROLE :"clerk" LOGIN PASSWORD :'clerk_password';
-- The clerks' role owns the database, so it may create the register's tables.
CREATE DATABASE :"database" OWNER :"clerk" ENCODING 'UTF8' TEMPLATE template0;
