-- The question bank. Identifiers are INTEGER, every other column is TEXT, so
-- that codes, counts and item numbers such as '21.3' and '21.30' stay apart.
-- Ids are not row ids: rows come back in the order they were inserted.

CREATE TABLE tree (
    id INTEGER NOT NULL UNIQUE,
    nodename TEXT NOT NULL DEFAULT '',
    parentid INTEGER NOT NULL DEFAULT 0,
    code INTEGER NOT NULL DEFAULT 0,
    scbt TEXT NOT NULL DEFAULT '',
    ct TEXT NOT NULL DEFAULT ''
);
CREATE INDEX tree_parentid ON tree (parentid);

CREATE TABLE qtype (
    id INTEGER NOT NULL UNIQUE,
    code TEXT NOT NULL DEFAULT '',
    title TEXT NOT NULL DEFAULT ''
);

CREATE TABLE readtext (
    id INTEGER NOT NULL UNIQUE,
    treeid INTEGER NOT NULL,
    qtypeid INTEGER NOT NULL,
    content TEXT NOT NULL DEFAULT '',
    opnum TEXT NOT NULL DEFAULT ''
);
CREATE INDEX readtext_treeid ON readtext (treeid, qtypeid);
CREATE INDEX readtext_qtypeid ON readtext (qtypeid);

CREATE TABLE question (
    id INTEGER NOT NULL UNIQUE,
    readtextid INTEGER NOT NULL,
    content TEXT NOT NULL DEFAULT '',
    answer TEXT NOT NULL DEFAULT '',
    explain TEXT NOT NULL DEFAULT '',
    picurl TEXT NOT NULL DEFAULT '',
    itemnum TEXT NOT NULL DEFAULT '',
    scbt TEXT NOT NULL DEFAULT '',
    ct TEXT NOT NULL DEFAULT '',
    ct1 TEXT NOT NULL DEFAULT '',
    lx TEXT NOT NULL DEFAULT ''
);
CREATE INDEX question_readtextid ON question (readtextid);
CREATE INDEX question_lx ON question (lx);

CREATE TABLE opinion (
    id INTEGER NOT NULL UNIQUE,
    questionid INTEGER NOT NULL,
    code TEXT NOT NULL DEFAULT '',
    content TEXT NOT NULL DEFAULT ''
);
CREATE INDEX opinion_questionid ON opinion (questionid);

CREATE TABLE kemu (
    ID TEXT NOT NULL DEFAULT '',
    mz TEXT NOT NULL DEFAULT ''
);

CREATE TABLE geshu (
    kemugeshu TEXT NOT NULL DEFAULT ''
);

CREATE TABLE fenshu (
    tx TEXT NOT NULL DEFAULT '',
    sts TEXT NOT NULL DEFAULT '',
    dd TEXT NOT NULL DEFAULT ''
);

CREATE TABLE ts (
    txs TEXT NOT NULL DEFAULT '',
    fg TEXT NOT NULL DEFAULT ''
);

CREATE TABLE sj (
    tid TEXT NOT NULL DEFAULT '',
    lx TEXT NOT NULL DEFAULT '',
    alt TEXT NOT NULL DEFAULT '',
    tg TEXT NOT NULL DEFAULT '',
    tgid TEXT NOT NULL DEFAULT '',
    da TEXT NOT NULL DEFAULT '',
    tp TEXT NOT NULL DEFAULT '',
    xx TEXT NOT NULL DEFAULT '',
    tjda TEXT NOT NULL DEFAULT ''
);
CREATE INDEX sj_tid ON sj (tid);
