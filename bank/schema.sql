-- The one definition of every table the program reads and writes.
-- The bank builder and the test fixtures both create databases from this file.
--
-- Yes/No columns hold 0 (No) or 1 (Yes).
-- Exam tables and key tables use ID as INTEGER PRIMARY KEY: the row id is the ID, so the
-- stored order runs from the lowest ID to the highest, which the random draw relies on.

PRAGMA journal_mode = WAL;

-- Category i is the row at position i in stored order (rowid order); exam tables' catID
-- counts from 0.
CREATE TABLE cat (
    sl_no    INTEGER,
    cat_desc TEXT
);

-- Exam tables: the candidate's responses live in correctanswer1..5. catID indexed for the
-- per-category counts of the score sheet; the rows holding a response indexed apart, so that
-- clearing the responses before a draw finds them without reading the whole bank.
CREATE TABLE exam1 (
    ID             INTEGER PRIMARY KEY,
    catID          INTEGER,
    cat_desc       TEXT,
    question       TEXT,
    answer1        TEXT,
    answer2        TEXT,
    answer3        TEXT,
    answer4        TEXT,
    answer5        TEXT,
    correctanswer1 INTEGER NOT NULL DEFAULT 0,
    correctanswer2 INTEGER NOT NULL DEFAULT 0,
    correctanswer3 INTEGER NOT NULL DEFAULT 0,
    correctanswer4 INTEGER NOT NULL DEFAULT 0,
    correctanswer5 INTEGER NOT NULL DEFAULT 0,
    explanation    TEXT,
    question_type  TEXT,
    diagram1       TEXT
);
CREATE INDEX exam1_catID ON exam1 (catID);
CREATE INDEX exam1_marked ON exam1 (ID) WHERE correctanswer1 <> 0 OR correctanswer2 <> 0 OR
    correctanswer3 <> 0 OR correctanswer4 <> 0 OR correctanswer5 <> 0;

CREATE TABLE exam2 (
    ID             INTEGER PRIMARY KEY,
    catID          INTEGER,
    cat_desc       TEXT,
    question       TEXT,
    answer1        TEXT,
    answer2        TEXT,
    answer3        TEXT,
    answer4        TEXT,
    answer5        TEXT,
    correctanswer1 INTEGER NOT NULL DEFAULT 0,
    correctanswer2 INTEGER NOT NULL DEFAULT 0,
    correctanswer3 INTEGER NOT NULL DEFAULT 0,
    correctanswer4 INTEGER NOT NULL DEFAULT 0,
    correctanswer5 INTEGER NOT NULL DEFAULT 0,
    explanation    TEXT,
    question_type  TEXT,
    diagram1       TEXT
);
CREATE INDEX exam2_catID ON exam2 (catID);
CREATE INDEX exam2_marked ON exam2 (ID) WHERE correctanswer1 <> 0 OR correctanswer2 <> 0 OR
    correctanswer3 <> 0 OR correctanswer4 <> 0 OR correctanswer5 <> 0;

CREATE TABLE exam3 (
    ID             INTEGER PRIMARY KEY,
    catID          INTEGER,
    cat_desc       TEXT,
    question       TEXT,
    answer1        TEXT,
    answer2        TEXT,
    answer3        TEXT,
    answer4        TEXT,
    answer5        TEXT,
    correctanswer1 INTEGER NOT NULL DEFAULT 0,
    correctanswer2 INTEGER NOT NULL DEFAULT 0,
    correctanswer3 INTEGER NOT NULL DEFAULT 0,
    correctanswer4 INTEGER NOT NULL DEFAULT 0,
    correctanswer5 INTEGER NOT NULL DEFAULT 0,
    explanation    TEXT,
    question_type  TEXT,
    diagram1       TEXT
);
CREATE INDEX exam3_catID ON exam3 (catID);
CREATE INDEX exam3_marked ON exam3 (ID) WHERE correctanswer1 <> 0 OR correctanswer2 <> 0 OR
    correctanswer3 <> 0 OR correctanswer4 <> 0 OR correctanswer5 <> 0;

-- Key tables: the published bank; correctanswer1..5 are the correct choices.
CREATE TABLE exam11 (
    ID             INTEGER PRIMARY KEY,
    question       TEXT,
    answer1        TEXT,
    answer2        TEXT,
    answer3        TEXT,
    answer4        TEXT,
    answer5        TEXT,
    correctanswer1 INTEGER NOT NULL DEFAULT 0,
    correctanswer2 INTEGER NOT NULL DEFAULT 0,
    correctanswer3 INTEGER NOT NULL DEFAULT 0,
    correctanswer4 INTEGER NOT NULL DEFAULT 0,
    correctanswer5 INTEGER NOT NULL DEFAULT 0,
    explanation    TEXT,
    diagram1       TEXT,
    question_type  TEXT
);

CREATE TABLE exam22 (
    ID             INTEGER PRIMARY KEY,
    question       TEXT,
    answer1        TEXT,
    answer2        TEXT,
    answer3        TEXT,
    answer4        TEXT,
    answer5        TEXT,
    correctanswer1 INTEGER NOT NULL DEFAULT 0,
    correctanswer2 INTEGER NOT NULL DEFAULT 0,
    correctanswer3 INTEGER NOT NULL DEFAULT 0,
    correctanswer4 INTEGER NOT NULL DEFAULT 0,
    correctanswer5 INTEGER NOT NULL DEFAULT 0,
    explanation    TEXT,
    diagram1       TEXT,
    question_type  TEXT
);

CREATE TABLE exam33 (
    ID             INTEGER PRIMARY KEY,
    question       TEXT,
    answer1        TEXT,
    answer2        TEXT,
    answer3        TEXT,
    answer4        TEXT,
    answer5        TEXT,
    correctanswer1 INTEGER NOT NULL DEFAULT 0,
    correctanswer2 INTEGER NOT NULL DEFAULT 0,
    correctanswer3 INTEGER NOT NULL DEFAULT 0,
    correctanswer4 INTEGER NOT NULL DEFAULT 0,
    correctanswer5 INTEGER NOT NULL DEFAULT 0,
    explanation    TEXT,
    diagram1       TEXT,
    question_type  TEXT
);

-- The current draw: position in the draw and the drawn question's ID. The draw itself keeps
-- IDs distinct. ID has no index on purpose: joined with an exam table, the engine then walks
-- tblRandom in sl_no order and the questions come in the order they were drawn.
CREATE TABLE tblRandom (
    sl_no INTEGER PRIMARY KEY,
    ID    INTEGER NOT NULL
);

-- The question whose answer was last shown. The program writes only position 1 (id); the
-- first column numbers itself.
CREATE TABLE showans (
    showans_no INTEGER PRIMARY KEY,
    id         INTEGER
);

-- The last score sheet's categories. The program writes positions 2 to 4 as texts:
-- cat_total (questions in the category), cat_scores (answered correctly) and Cat_correct
-- (whole-number percentage, shown under "% Correct"). Positions 0 and 1 are left to the
-- engine: a self-numbering key and an unused category number.
CREATE TABLE cat_scores (
    cat_scores_no INTEGER PRIMARY KEY,
    cat_no        INTEGER,
    cat_total     TEXT,
    cat_scores    TEXT,
    Cat_correct   TEXT
);

-- The intro window shows the first row.
CREATE TABLE "Test Information" (
    test_name           TEXT,
    number_of_questions TEXT,
    test_disclaimer     TEXT,
    test_description    TEXT,
    copyright_date      TEXT,
    author_name         TEXT
);
