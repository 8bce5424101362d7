<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>zel</name>
    <message>
        <source>в профиле %1 нет значений с положениями электродов</source>
        <translation>profile %1 has no values with electrode positions</translation>
    </message>
    <message>
        <source>в профиле %1 нет значений с током и напряжением</source>
        <translation>profile %1 has no values with current and voltage</translation>
    </message>
    <message>
        <source>в профиле %1 ни для одного значения нельзя вычислить геометрический коэффициент: электроды стоят в одном месте (например, B = M)</source>
        <translation>profile %1 has no value whose geometric factor can be computed: electrodes stand at one place (B = M, for instance)</translation>
    </message>
    <message>
        <source>в профиле %1 все значения исключены или отмечены проверкой данных</source>
        <translation>every value of profile %1 is excluded or flagged by the data check</translation>
    </message>
    <message>
        <source>в профиле %1 все значения исключены</source>
        <translation>every value of profile %1 is excluded</translation>
    </message>
    <message>
        <source>Итерация %1: χ² %2 (цель %3), RRMS %4 %, λ %5, %6 с</source>
        <translation>Iteration %1: χ² %2 (target %3), RRMS %4 %, λ %5, %6 s</translation>
    </message>
    <message>
        <source>L%1, вся линия</source>
        <translation>L%1, whole line</translation>
    </message>
    <message>
        <source>не хватает памяти</source>
        <translation>not enough memory</translation>
    </message>
    <message>
        <source>нет разреза</source>
        <translation>no section</translation>
    </message>
    <message>
        <source>её модель не объясняет данные (χ² %1)</source>
        <translation>its model does not explain its data (chi² %1)</translation>
    </message>
    <message>
        <source>она лежит на Y линии %1 (%2 м)</source>
        <translation>it lies at the y of %1 (%2 m)</translation>
    </message>
    <message>
        <source>остановлено до конца</source>
        <translation>stopped before its end</translation>
    </message>
    <message>
        <source>электрод %1 стоит при x = %2 м в первом измерении и при x = %3 м во втором: измерения размечены по-разному (X0 или шаг), их разность не изменение земли</source>
        <translation>electrode %1 lies at x = %2 m in the first reading and at x = %3 m in the later: the readings are placed otherwise (X0 or spacing), their difference is no change of the ground</translation>
    </message>
    <message>
        <source>Y линии %1 — не число: дайте ей Y в файле линий</source>
        <translation>line %1&apos;s Y is not a number: give the line its Y in the lines file</translation>
    </message>
    <message>
        <source>ни одной линии с данными</source>
        <translation>no line has data</translation>
    </message>
    <message>
        <source>линии %1 и %2 пересекаются: обе на Y %3 м вдоль %4–%5 м. Одну модель дают параллельные линии, каждая на своём Y (пересекающиеся и непараллельные линии — в следующих версиях)</source>
        <translation>lines %1 and %2 cross: both lie at Y %3 m along %4–%5 m. One model is made of parallel lines, each at its own Y (lines that cross or are not parallel: in a later version)</translation>
    </message>
    <message>
        <source>все линии лежат на одном Y (%1 м): дайте каждой линии её Y в файле линий</source>
        <translation>every line lies at one Y (%1 m): give each line its Y in the lines file</translation>
    </message>
    <message>
        <source>%1: у простых измерений нет положений электродов: дайте AB/2 и MN/2 каждой станции (лист разносов)</source>
        <translation>%1: plain measurements carry no electrode positions: give each station&apos;s AB/2 and MN/2 (a spacing sheet)</translation>
    </message>
    <message>
        <source>%1: в листе разносов нет AB/2 и MN/2 для станций %2</source>
        <translation>%1: the spacing sheet has no AB/2 and MN/2 for stations %2</translation>
    </message>
    <message>
        <source>%1: нет значений с положениями электродов, током и напряжением</source>
        <translation>%1: no value with electrode positions, current and voltage</translation>
    </message>
    <message>
        <source>%1: центр установки A %2 B %3 M %4 N %5 не совпадает с центром первой: это не зондирование</source>
        <translation>%1: the quadripole A %2 B %3 M %4 N %5 is not centred where the first one is: not a sounding</translation>
    </message>
    <message>
        <source>%1: меньше трёх разносов AB/2: это не зондирование</source>
        <translation>%1: fewer than three spacings AB/2: not a sounding</translation>
    </message>
    <message>
        <source>для разреза нужны два зондирования или больше</source>
        <translation>a section needs two soundings or more</translation>
    </message>
    <message>
        <source>%1 и %2 стоят в одной точке: в разрезе у каждого зондирования своя точка (X0 в геометрии линий или Centre= в листе разносов)</source>
        <translation>%1 and %2 lie at one centre: a section places each sounding at a centre of its own (X0 of the lines, or Centre= of the spacing sheet)</translation>
    </message>
</context>
</TS>
