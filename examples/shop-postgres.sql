-- The example shop's database on a PostgreSQL server, the same tables as shop.sql:
--   psql -h HOST -p PORT -U USER -d DATABASE -f shop-postgres.sql
-- Unquoted names fold to lower case on the server, so they are written in lower case here; the
-- quoted ones keep their capitals ("ORDER" is also a keyword, "E-MAIL" has a dash) and must be
-- written with quotes wherever they are used.

CREATE TABLE customer (
  cust_no  integer PRIMARY KEY,
  name     varchar(40) NOT NULL,
  city     varchar(30),
  tel      varchar(20),
  "E-MAIL" varchar(60)
);
CREATE UNIQUE INDEX customer_email ON customer ("E-MAIL");

CREATE TABLE part (
  part_no     varchar(12) PRIMARY KEY,
  description varchar(60) NOT NULL,
  price       numeric(10, 2) NOT NULL
);

CREATE TABLE "ORDER" (
  order_no   integer PRIMARY KEY,
  cust_no    integer NOT NULL REFERENCES customer (cust_no),
  ordered_on date NOT NULL,
  status     varchar(10) NOT NULL DEFAULT 'open'
);

CREATE TABLE order_line (
  order_no integer NOT NULL REFERENCES "ORDER" (order_no),
  line_no  integer NOT NULL,
  part_no  varchar(12) NOT NULL REFERENCES part (part_no),
  qty      integer NOT NULL,
  PRIMARY KEY (order_no, line_no)
);

CREATE TABLE audit_log (
  logged_at timestamp NOT NULL,
  message   varchar(200)
);

-- What the module's CloseOrder component calls: a server has stored procedures.
CREATE PROCEDURE close_order(p_order_no integer)
LANGUAGE sql
AS $$
  UPDATE "ORDER" SET status = 'closed' WHERE order_no = p_order_no;
  INSERT INTO audit_log VALUES (localtimestamp, 'order ' || p_order_no || ' closed');
$$;

INSERT INTO customer VALUES
  (1, 'Alder Books', 'Leeds', '0113 496 0001', 'orders@alder.example'),
  (2, 'Birch & Co', 'York', '01904 496 002', 'buy@birch.example'),
  (3, 'Cedar Crafts', 'Hull', '01482 496 003', NULL);

INSERT INTO part VALUES
  ('P-100', 'Notebook, A5', 3.50),
  ('P-200', 'Fountain pen', 24.00),
  ('P-300', 'Ink, blue', 6.25);

INSERT INTO "ORDER" VALUES
  (1001, 1, '2024-03-01', 'closed'),
  (1002, 2, '2024-03-04', 'open');

INSERT INTO order_line VALUES
  (1001, 1, 'P-100', 10),
  (1001, 2, 'P-300', 4),
  (1002, 1, 'P-200', 1);

INSERT INTO audit_log VALUES ('2024-03-04 09:12:00', 'order 1002 entered');
