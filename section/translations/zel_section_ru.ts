<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>zel</name>
    <message>
        <source>в профиле %1 нет значений с положениями электродов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>в профиле %1 нет значений с током и напряжением</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>в профиле %1 ни для одного значения нельзя вычислить геометрический коэффициент: электроды стоят в одном месте (например, B = M)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>в профиле %1 все значения исключены или отмечены проверкой данных</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>в профиле %1 все значения исключены</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Итерация %1: χ² %2 (цель %3), RRMS %4 %, λ %5, %6 с</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>L%1, вся линия</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>не хватает памяти</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>нет разреза</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>её модель не объясняет данные (χ² %1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>она лежит на Y линии %1 (%2 м)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>остановлено до конца</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>электрод %1 стоит при x = %2 м в первом измерении и при x = %3 м во втором: измерения размечены по-разному (X0 или шаг), их разность не изменение земли</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y линии %1 — не число: дайте ей Y в файле линий</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ни одной линии с данными</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>линии %1 и %2 пересекаются: обе на Y %3 м вдоль %4–%5 м. Одну модель дают параллельные линии, каждая на своём Y (пересекающиеся и непараллельные линии — в следующих версиях)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>все линии лежат на одном Y (%1 м): дайте каждой линии её Y в файле линий</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: у простых измерений нет положений электродов: дайте AB/2 и MN/2 каждой станции (лист разносов)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: в листе разносов нет AB/2 и MN/2 для станций %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: нет значений с положениями электродов, током и напряжением</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: центр установки A %2 B %3 M %4 N %5 не совпадает с центром первой: это не зондирование</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: меньше трёх разносов AB/2: это не зондирование</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>для разреза нужны два зондирования или больше</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 и %2 стоят в одной точке: в разрезе у каждого зондирования своя точка (X0 в геометрии линий или Centre= в листе разносов)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
