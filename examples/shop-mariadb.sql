-- The example shop's database on a MariaDB server, the same tables as shop.sql:
--   mariadb -h HOST -P PORT -u USER -p DATABASE < shop-mariadb.sql
-- Table names heed letter case on the server (column names do not); ORDER is a reserved word and
-- E-MAIL has a dash, so both are written in backticks wherever they are used.

CREATE TABLE customer (
  cust_no  int PRIMARY KEY,
  name     varchar(40) NOT NULL,
  city     varchar(30),
  tel      varchar(20),
  `E-MAIL` varchar(60),
  UNIQUE KEY customer_email (`E-MAIL`)
) ENGINE=InnoDB;

CREATE TABLE part (
  part_no     varchar(12) PRIMARY KEY,
  description varchar(60) NOT NULL,
  price       decimal(10, 2) NOT NULL
) ENGINE=InnoDB;

CREATE TABLE `ORDER` (
  order_no   int PRIMARY KEY,
  cust_no    int NOT NULL REFERENCES customer (cust_no),
  ordered_on date NOT NULL,
  status     varchar(10) NOT NULL DEFAULT 'open'
) ENGINE=InnoDB;

CREATE TABLE order_line (
  order_no int NOT NULL REFERENCES `ORDER` (order_no),
  line_no  int NOT NULL,
  part_no  varchar(12) NOT NULL REFERENCES part (part_no),
  qty      int NOT NULL,
  PRIMARY KEY (order_no, line_no)
) ENGINE=InnoDB;

CREATE TABLE audit_log (
  logged_at datetime NOT NULL,
  message   varchar(200)
) ENGINE=InnoDB;

-- What the module's CloseOrder component calls: it closes an order and tells how many lines it had.
-- Its body has statements of its own, so the script's statements end in // around it.
DELIMITER //
CREATE PROCEDURE close_order(IN p_order_no int, OUT p_lines int)
BEGIN
  UPDATE `ORDER` SET status = 'closed' WHERE order_no = p_order_no;
  INSERT INTO audit_log VALUES (NOW(), CONCAT('order ', p_order_no, ' closed'));
  SELECT COUNT(*) INTO p_lines FROM order_line WHERE order_no = p_order_no;
END//
DELIMITER ;

INSERT INTO customer VALUES
  (1, 'Alder Books', 'Leeds', '0113 496 0001', 'orders@alder.example'),
  (2, 'Birch & Co', 'York', '01904 496 002', 'buy@birch.example'),
  (3, 'Cedar Crafts', 'Hull', '01482 496 003', NULL);

INSERT INTO part VALUES
  ('P-100', 'Notebook, A5', 3.50),
  ('P-200', 'Fountain pen', 24.00),
  ('P-300', 'Ink, blue', 6.25);

INSERT INTO `ORDER` VALUES
  (1001, 1, '2024-03-01', 'closed'),
  (1002, 2, '2024-03-04', 'open');

INSERT INTO order_line VALUES
  (1001, 1, 'P-100', 10),
  (1001, 2, 'P-300', 4),
  (1002, 1, 'P-200', 1);

INSERT INTO audit_log VALUES ('2024-03-04 09:12:00', 'order 1002 entered');
