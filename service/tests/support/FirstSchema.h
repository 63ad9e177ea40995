#pragma once
// The score database's tables as the service's first schema made them, before each
// installation's best entry was kept: what an upgrade starts from.
constexpr const char* kFirstSchema = R"sql(
CREATE TABLE uploads(id INTEGER PRIMARY KEY, installation INTEGER NOT NULL, country TEXT NOT NULL,
  platform TEXT NOT NULL, version TEXT NOT NULL, received INTEGER NOT NULL);
CREATE TABLE installations(id INTEGER PRIMARY KEY, country TEXT NOT NULL, last_upload INTEGER NOT NULL);
CREATE TABLE scores(score_table INTEGER NOT NULL, installation INTEGER NOT NULL, digest BLOB NOT NULL,
  name TEXT NOT NULL, score INTEGER NOT NULL, made INTEGER NOT NULL, upload INTEGER NOT NULL,
  PRIMARY KEY(score_table, installation, digest)) WITHOUT ROWID;
CREATE INDEX scores_best ON scores(score_table, installation, score);
)sql";
