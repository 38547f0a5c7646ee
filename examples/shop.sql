-- The example shop's database: sqlite3 shop.db < shop.sql
-- Customers with a unique e-mail address, orders ("ORDER" needs quoting), order lines with a
-- two-column primary key, parts, and an audit log without any key.
PRAGMA foreign_keys = ON;

CREATE TABLE CUSTOMER (
  CUST_NO  INTEGER PRIMARY KEY,
  NAME     VARCHAR(40) NOT NULL,
  CITY     VARCHAR(30),
  TEL      VARCHAR(20),
  "E-MAIL" VARCHAR(60)
);
CREATE UNIQUE INDEX CUSTOMER_EMAIL ON CUSTOMER ("E-MAIL");

CREATE TABLE PART (
  PART_NO     VARCHAR(12) PRIMARY KEY,
  DESCRIPTION VARCHAR(60) NOT NULL,
  PRICE       NUMERIC(10, 2) NOT NULL
);

CREATE TABLE "ORDER" (
  ORDER_NO   INTEGER PRIMARY KEY,
  CUST_NO    INTEGER NOT NULL REFERENCES CUSTOMER (CUST_NO),
  ORDERED_ON DATE NOT NULL,
  STATUS     VARCHAR(10) NOT NULL DEFAULT 'open'
);

CREATE TABLE ORDER_LINE (
  ORDER_NO INTEGER NOT NULL REFERENCES "ORDER" (ORDER_NO),
  LINE_NO  INTEGER NOT NULL,
  PART_NO  VARCHAR(12) NOT NULL REFERENCES PART (PART_NO),
  QTY      INTEGER NOT NULL,
  PRIMARY KEY (ORDER_NO, LINE_NO)
);

CREATE TABLE AUDIT_LOG (
  LOGGED_AT TIMESTAMP NOT NULL,
  MESSAGE   VARCHAR(200)
);

INSERT INTO CUSTOMER VALUES
  (1, 'Alder Books', 'Leeds', '0113 496 0001', 'orders@alder.example'),
  (2, 'Birch & Co', 'York', '01904 496 002', 'buy@birch.example'),
  (3, 'Cedar Crafts', 'Hull', '01482 496 003', NULL);

INSERT INTO PART VALUES
  ('P-100', 'Notebook, A5', 3.50),
  ('P-200', 'Fountain pen', 24.00),
  ('P-300', 'Ink, blue', 6.25);

INSERT INTO "ORDER" VALUES
  (1001, 1, '2024-03-01', 'closed'),
  (1002, 2, '2024-03-04', 'open');

INSERT INTO ORDER_LINE VALUES
  (1001, 1, 'P-100', 10),
  (1001, 2, 'P-300', 4),
  (1002, 1, 'P-200', 1);

INSERT INTO AUDIT_LOG VALUES ('2024-03-04 09:12:00', 'order 1002 entered');
