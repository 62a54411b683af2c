-- Tables of the loading-planning database. Text compares case-insensitively
-- everywhere, as the order, goods and container numbers always have.

CREATE TABLE HoldGoods (
  GoodsNo      TEXT COLLATE NOCASE NOT NULL,
  GoodsName    TEXT COLLATE NOCASE,
  Brand        TEXT COLLATE NOCASE,
  Model        INTEGER,
  Upward       TEXT COLLATE NOCASE,
  Length       INTEGER,
  Width        INTEGER,
  Height       INTEGER,
  Weight       INTEGER,
  COLOR        TEXT COLLATE NOCASE,
  GoodsRemark  TEXT COLLATE NOCASE
);
CREATE UNIQUE INDEX ux_HoldGoods_GoodsNo ON HoldGoods(GoodsNo);

CREATE TABLE HoldVehicles (
  VehicleNo     TEXT COLLATE NOCASE NOT NULL,
  VehicleName   TEXT COLLATE NOCASE,
  ContainerL    INTEGER,
  ContainerW    INTEGER,
  ContainerH    INTEGER,
  MaxWeight     INTEGER,
  Model         TEXT COLLATE NOCASE,
  VehicleRemark TEXT COLLATE NOCASE
);
CREATE UNIQUE INDEX ux_HoldVehicles_VehicleNo ON HoldVehicles(VehicleNo);

CREATE TABLE HoldOrderForm (
  OrderFormNo         TEXT COLLATE NOCASE NOT NULL,
  OrderFormName       TEXT COLLATE NOCASE,
  SailDate            TEXT,
  VehicleNo           TEXT COLLATE NOCASE,
  Consigner           TEXT COLLATE NOCASE,
  Destination         TEXT COLLATE NOCASE,
  CountType           INTEGER,
  LoadingType         INTEGER,
  IsDirectionRestrict INTEGER,
  IsWeightRestrict    INTEGER,
  IsBestStandPlace    INTEGER NOT NULL DEFAULT 0,
  IsNeedCount         INTEGER NOT NULL DEFAULT 1,
  AddL                INTEGER,
  AddW                INTEGER,
  AddH                INTEGER
);
CREATE UNIQUE INDEX ux_HoldOrderForm_OrderFormNo ON HoldOrderForm(OrderFormNo);

CREATE TABLE HoldOrderFormList (
  OrderFormNo TEXT COLLATE NOCASE NOT NULL,
  GoodsNo     TEXT COLLATE NOCASE NOT NULL,
  Amount      INTEGER,
  Sequence    INTEGER
);
CREATE INDEX ix_HoldOrderFormList_OrderFormNo ON HoldOrderFormList(OrderFormNo);
CREATE INDEX ix_HoldOrderFormList_GoodsNo ON HoldOrderFormList(GoodsNo);

CREATE TABLE HoldList (
  ListId       TEXT COLLATE NOCASE,
  GoodsNo      TEXT COLLATE NOCASE,
  OrderFormNo  TEXT COLLATE NOCASE,
  bcd          REAL,
  bch          REAL,
  bcw          REAL,
  bcd2         REAL,
  bch2         REAL,
  bcw2         REAL,
  vehicleOrder INTEGER,
  PlaceType    TEXT COLLATE NOCASE,
  floor        TEXT COLLATE NOCASE,
  dx           REAL,
  dy           REAL,
  dz           REAL
);
CREATE INDEX ix_HoldList_OrderFormNo ON HoldList(OrderFormNo, vehicleOrder);

CREATE TABLE HoldSelfHelpOrderForm (
  SelfHelpOrderFormNo   TEXT COLLATE NOCASE NOT NULL,
  SelfHelpOrderFormName TEXT COLLATE NOCASE,
  VehicleNo             TEXT COLLATE NOCASE,
  HoldDate              TEXT,
  HoldUser              TEXT COLLATE NOCASE
);
CREATE UNIQUE INDEX ux_HoldSelfHelpOrderForm_No ON HoldSelfHelpOrderForm(SelfHelpOrderFormNo);

CREATE TABLE HoldSelfHelpOrderFormList (
  OrderFormNo    TEXT COLLATE NOCASE NOT NULL,
  GoodsNo        TEXT COLLATE NOCASE,
  Amount         INTEGER,
  Sequence       INTEGER,
  PlaceDirection INTEGER,
  RGPlaceType    INTEGER
);
CREATE INDEX ix_HoldSelfHelpOrderFormList_No ON HoldSelfHelpOrderFormList(OrderFormNo);

CREATE TABLE HoldSelfHelpList (
  ListId      INTEGER,
  OrderFormNo TEXT COLLATE NOCASE NOT NULL,
  GoodsNo     TEXT COLLATE NOCASE,
  Floor       INTEGER,
  bcd         REAL,
  bcw         REAL,
  bch         REAL,
  bcd2        REAL,
  bcw2        REAL,
  bch2        REAL,
  dx          REAL,
  dy          REAL,
  dz          REAL,
  RGPlaceType INTEGER
);
CREATE INDEX ix_HoldSelfHelpList_No ON HoldSelfHelpList(OrderFormNo);
